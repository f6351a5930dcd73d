// Preview frames of the lighting effects, compared with values worked out by hand from each
// effect's rules, with fixed key positions, a rows file and scripted random numbers.
#include "tests/support/EffctRecorder.h"
#include "lighting/QEffct_Blossoming.h"
#include "lighting/QEffct_Colorful_Waterfall.h"
#include "lighting/QEffct_Fixed_No.h"
#include "lighting/QEffct_Neon_Stream.h"
#include "lighting/QEffct_Rainbow.h"
#include "lighting/QEffct_Raindrops.h"
#include "lighting/QEffct_Repire.h"
#include "lighting/QEffct_Retro_Snake.h"
#include "lighting/QEffct_Rotating_Windmill.h"
#include "lighting/QEffct_Sine_Wave.h"
#include "lighting/QEffct_Stars_Twinkle.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
using Rgb = std::array<uchar, 3>;

QByteArray Frame(uchar marker, const QVector<QPair<int, Rgb>> &keys)
{
    QByteArray frame(520, '\0');
    frame[0] = static_cast<char>(marker);
    for (const auto &k : keys)
        for (int i = 0; i < 3; ++i)
            frame[k.first + i] = static_cast<char>(k.second[i]);
    return frame;
}

QVector<QPair<int, Rgb>> All(const QVector<int> &positions, Rgb colour)
{
    QVector<QPair<int, Rgb>> out;
    for (int p : positions)
        out.append({p, colour});
    return out;
}

QVector<int> Alphas(const QVector<EffctRecorder::Event> &events)
{
    QVector<int> out;
    for (const auto &e : events)
        out.append(e.alpha);
    return out;
}
// Key colours as "key:r,g,b@transparency", clears as "C", frames as "F".
QStringList Describe(const QVector<EffctRecorder::Event> &events)
{
    QStringList out;
    for (const auto &e : events) {
        if (e.kind == 'B')
            out << QStringLiteral("%1:%2,%3,%4@%5").arg(e.key).arg(e.r).arg(e.g).arg(e.b).arg(e.alpha);
        else
            out << QString(QLatin1Char(e.kind));
    }
    return out;
}
} // namespace

class TstLightingEffects : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    QString RowsFile(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("rows%1.ini").arg(++m_files));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return path;
    }
    int m_files = 0;

    template <class Effct>
    QVector<EffctRecorder::Event> Run(Effct &effct, int frames)
    {
        EffctRecorder recorder(&effct);
        for (int i = 0; i < frames; ++i)
            effct.NextFrame();
        return recorder.Take();
    }

private Q_SLOTS:
    void cleanup() { EffctRecorder::Uninstall(); }

    void fixedColour_data()
    {
        QTest::addColumn<int>("luminance");
        QTest::addColumn<int>("multiColour");
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<int>("alpha");
        QTest::addColumn<QByteArray>("frame");
        // Positions 0, 518 and 600 do not fit a key into the frame; 517 just does.
        const QByteArray own = Frame(0x63, All({8, 11, 517}, {1, 2, 3}));
        QTest::newRow("level 0") << 0 << 0 << QByteArray() << 20 << own;
        QTest::newRow("level 2") << 2 << 0 << QByteArray() << 100 << own;
        QTest::newRow("luminance 9 is level 1") << 9 << 0 << QByteArray() << 60 << own;
        QTest::newRow("luminance 255 counts as 4") << 255 << 0 << QByteArray() << 180 << own;
        QTest::newRow("standard map") << 2 << 1 << QByteArray("[STANDARMCOLOURMAP]\nBuffs=\"ff, 00,\\n10\"\n") << 100
                                      << QByteArray("\xff\x00\x10", 3) + QByteArray(517, '\0');
        QTest::newRow("no standard map") << 4 << 1 << QByteArray("[OTHER]\na=1\n") << 180 << QByteArray(520, '\0');
    }
    void fixedColour()
    {
        QFETCH(int, luminance);
        QFETCH(int, multiColour);
        QFETCH(QByteArray, rows);
        QFETCH(int, alpha);
        QFETCH(QByteArray, frame);
        EffctRecorder::Install({8, 0, 11, 517, 518, 600}, {}, RowsFile(rows));
        QEffct_Fixed_No effct;
        effct.InitEffct(4, static_cast<uchar>(luminance), static_cast<uchar>(multiColour), QColor(1, 2, 3));
        const auto events = Run(effct, 2);
        QCOMPARE(events.size(), 2);
        for (const auto &e : events) {
            QCOMPARE(e.kind, 'F');
            QCOMPARE(e.alpha, alpha);
            QCOMPARE(e.frame, frame);
        }
    }

    void framesNeedKeys()
    {
        EffctRecorder::Install({}, {}, QString());
        QEffct_Fixed_No fixed;
        QEffct_Repire breathing;
        QEffct_Stars_Twinkle stars;
        fixed.InitEffct(4, 4, 0, Qt::red);
        breathing.InitEffct(4, 4, 0, Qt::red);
        stars.InitEffct(4, 4, 0, Qt::red);
        QVERIFY(Run(fixed, 3).isEmpty());
        QVERIFY(Run(breathing, 3).isEmpty());
        QVERIFY(Run(stars, 3).isEmpty());
        QCOMPARE(breathing.Level, ushort(180));
    }

    void breathing()
    {
        EffctRecorder::Install({20, 8}, {}, QString());
        QEffct_Repire effct;
        effct.InitEffct(4, 0, 0, QColor(9, 8, 7)); // the ceiling stays 180 until SetLuminance
        QVector<int> expected{180, 190};
        for (int a = 180; a >= 0; a -= 10)
            expected << a;
        for (int a = 10; a <= 190; a += 10)
            expected << a;
        expected << 180 << 170;
        const auto events = Run(effct, expected.size());
        QCOMPARE(Alphas(events), expected);
        QCOMPARE(events.first().frame, Frame(0x63, All({8, 20}, {9, 8, 7})));
        effct.SetLuminance(0); // ceiling and level 100, still falling
        QCOMPARE(Alphas(Run(effct, 3)), (QVector<int>{100, 90, 80}));
    }

    void rainbowChangesColourAtTheBottom()
    {
        EffctRecorder::Install({8}, {}, QString());
        QEffct_Rainbow effct;
        effct.InitEffct(4, 4, 0, QColor(1, 1, 1));
        const auto events = Run(effct, 22);
        for (int i = 0; i < 22; ++i) {
            const Rgb colour = i < 20 ? Rgb{0xff, 0, 0} : Rgb{0xff, 0x45, 0};
            QCOMPARE(events.at(i).frame, Frame(0x63, {{8, colour}}));
        }
        QCOMPARE(events.at(19).alpha, 10);
        QCOMPARE(events.at(20).alpha, 0);
    }

    void stars()
    {
        // Ten distinct keys (8 twice): six must be lit. Key draws 3, 3 (again), 7, 0, 19, 1, 5;
        // after each new key a palette draw.
        EffctRecorder::Install({8, 8, 11, 14, 17, 20, 23, 26, 29, 32, 35}, {3, 1, 3, 7, 17, 0, 16, 19, 3, 1, 18, 5, 13, 2, 0, 4, 0, 6, 0, 8, 0, 9, 0, 1, 0},
                               QString());
        QEffct_Stars_Twinkle effct;
        effct.InitEffct(4, 4, 1, Qt::white);
        QCOMPARE(effct.KeyCount, 10);
        auto events = Run(effct, 1);
        QCOMPARE(EffctRecorder::RandomsUsed(), 13);
        const QByteArray lit = Frame(0x00, {{17, {255, 37, 0}}, {29, {141, 0, 255}}, {8, {7, 0, 255}},
                                            {35, {255, 103, 0}}, {11, {255, 0, 10}}, {23, {0, 212, 255}}});
        QCOMPARE(events.first().frame, lit);
        QCOMPARE(events.first().alpha, 180);
        events = Run(effct, 18);
        QCOMPARE(EffctRecorder::RandomsUsed(), 13 + 12); // a new set only for the frame at 0
        QVector<int> expected;
        for (int a = 170; a >= 0; a -= 10)
            expected << a;
        QCOMPARE(Alphas(events), expected);
        QCOMPARE(events.at(16).frame, lit);
        QCOMPARE(events.at(17).frame, Frame(0x00, All({14, 20, 26, 32, 35, 11}, {255, 0, 10})));
    }

    void starsSingleKey()
    {
        EffctRecorder::Install({14}, {}, QString());
        QEffct_Stars_Twinkle effct;
        effct.InitEffct(4, 0, 0, QColor(4, 5, 6));
        const auto events = Run(effct, 1);
        QCOMPARE(events.first().frame, Frame(0x00, {{14, {4, 5, 6}}}));
        QCOMPARE(events.first().alpha, 100);
    }

    void raindropsColumn()
    {
        EffctRecorder::Install({}, {0, 0, 0, 0, 0, 0}, RowsFile("[RAINDROPS]\nIndex_numble=1\nRowButton_1=\"8,11,14,17,20\"\n"));
        QEffct_Raindrops effct;
        effct.InitEffct(4, 4, 0, QColor(200, 100, 50));
        const auto events = Run(effct, 6);
        const QVector<int> keys{8, 11, 14, 17, 20};
        QCOMPARE(events.size(), 6);
        for (int f = 0; f < 6; ++f) {
            const int s = f < 4 ? f : (f == 5 ? 0 : -1); // the fifth frame ends the drop, the sixth starts a new one
            QVector<QPair<int, Rgb>> lit;
            if (s >= 0)
                lit = {{keys[s], {140, 70, 35}}, {keys[s + 1], {200, 100, 50}}};
            QCOMPARE(events.at(f).frame, Frame(0xFF, lit));
            QCOMPARE(events.at(f).alpha, 180);
        }
    }

    void raindropsMultiColourAndSharedKey()
    {
        // Two columns sharing key 14: column 1 is drawn last. Drops start in column 0, then 1.
        EffctRecorder::Install({}, {0, 1}, RowsFile("[RAINDROPS]\nIndex_numble=2\nRowButton_1=\"8,14,20\"\nRowButton_2=\"11,14,23\"\n"));
        QEffct_Raindrops effct;
        effct.InitEffct(4, 0, 1, Qt::white);
        auto events = Run(effct, 2);
        QCOMPARE(events.size(), 3); // one frame for one drop, then one a drop
        QCOMPARE(events.at(0).alpha, 60);
        QCOMPARE(events.at(2).frame, Frame(0xFF, {{11, {178, 25, 0}}, {14, {255, 37, 0}}, {20, {255, 0, 10}}}));
    }

    void snake()
    {
        EffctRecorder::Install({}, {}, RowsFile("[RETRO_SNAKE]\nRowButton_1=\"10,11,12\"\nRowButton_2=\"20,0,21\"\n"));
        QEffct_Retro_Snake effct;
        effct.InitEffct(4, 4, 0, QColor(255, 0, 0));
        QCOMPARE(Describe(Run(effct, 5)),
                 QStringList({"C", "11:255,0,0@195", "10:255,0,0@190", "C", "12:255,0,0@195", "11:255,0,0@190",
                              "10:255,0,0@185", "C", "20:255,0,0@195", "C", "20:255,0,0@190", "C",
                              "21:255,0,0@195", "20:255,0,0@185"}));
        QEffct_Retro_Snake multi;
        multi.InitEffct(4, 0, 1, Qt::white);
        QCOMPARE(Describe(Run(multi, 1)), QStringList({"C", "11:255,37,0@95", "10:255,0,10@90"}));
    }

    void sineWaveLead_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<QStringList>("centres");
        QTest::newRow("six keys") << QByteArray("1,2,3,4,5,6") << QString("1 2 3 4 5 6 3 2 1 2").split(' ');
        QTest::newRow("two keys turn at the start") << QByteArray("7,8") << QString("7 8 7 8").split(' ');
    }
    void sineWaveLead()
    {
        QFETCH(QByteArray, row);
        QFETCH(QStringList, centres);
        EffctRecorder::Install({}, {}, RowsFile("[SINE_WAVE]\nIndex_numble=1\nRowButton_1=\"" + row + "\"\n"));
        QEffct_Sine_Wave effct;
        effct.InitEffct(4, 0, 0, QColor(1, 2, 3));
        const QStringList events = Describe(Run(effct, centres.size()));
        QStringList seen;
        for (int i = 0; i + 1 < events.size(); ++i)
            if (events.at(i) == QLatin1String("C"))
                seen << events.at(i + 1).section(':', 0, 0);
        QCOMPARE(seen, centres);
        QCOMPARE(events.mid(0, 3), QStringList({"C", row.left(1) + ":1,2,3@130", row.mid(2, 1) + ":1,2,3@10"}));
        QVERIFY(events.contains(row.left(1) + ":1,2,3@50")); // a previous key
    }

    void sineWaveRows()
    {
        // Row 1 (odd) moves the follower on; row 2 (even) keeps it.
        EffctRecorder::Install({}, {}, RowsFile("[SINE_WAVE]\nIndex_numble=3\nRowButton_1=\"1,2,3,4\"\n"
                                                 "RowButton_2=\"11,12,13,14\"\nRowButton_3=\"21,22,23,24\"\n"));
        QEffct_Sine_Wave effct;
        effct.InitEffct(4, 4, 0, QColor(9, 9, 9));
        QCOMPARE(Describe(Run(effct, 1)),
                 QStringList({"C", "1:9,9,9@150", "2:9,9,9@100", "12:9,9,9@178", "11:9,9,9@150", "13:9,9,9@100",
                              "22:9,9,9@146", "21:9,9,9@150", "23:9,9,9@100"}));
    }

    void neonStream()
    {
        EffctRecorder::Install({}, {}, RowsFile("[NEON_STREAM]\nIndex_numble=4\nRowButton_1=\"1,2\"\nRowButton_2=\"3\"\n"
                                                 "RowButton_3=\"4\"\nRowButton_4=\"0,9\"\n"));
        QEffct_Neon_Stream effct;
        effct.InitEffct(4, 0, 0, QColor(5, 6, 7));
        // Row 3 would be 280: held at 255.
        QCOMPARE(Describe(Run(effct, 2)),
                 QStringList({"3:5,6,7@160", "4:5,6,7@200", "9:5,6,7@240", "1:5,6,7@255", "2:5,6,7@255",
                              "4:5,6,7@160", "9:5,6,7@200", "1:5,6,7@240", "2:5,6,7@240", "3:5,6,7@255"}));
    }

    void paletteRows()
    {
        const QByteArray rows("[ROTATING_WINDMILL]\nIndex_numble=3\nRowButton_1=\"1\"\nRowButton_2=\"2\"\nRowButton_3=\"3\"\n"
                              "[COLORFUL_WATERFALL]\nIndex_numble=6\nRowButton_1=\"1\"\nRowButton_2=\"2\"\nRowButton_3=\"3\"\n"
                              "RowButton_4=\"4\"\nRowButton_5=\"5\"\nRowButton_6=\"6\"\n"
                              "[BLOSSOMING]\nIndex_numble=1\nRowButton_1=\"0,7\"\n");
        EffctRecorder::Install({}, {}, RowsFile(rows));
        QEffct_Rotating_Windmill windmill;
        windmill.InitEffct(4, 4, 0, Qt::white);
        QCOMPARE(Describe(Run(windmill, 2)),
                 QStringList({"1:141,0,255@140", "2:255,0,10@140", "3:255,37,0@140", "1:7,0,255@140",
                              "2:141,0,255@140", "3:255,0,10@140"}));
        QEffct_Colorful_Waterfall waterfall;
        waterfall.InitEffct(4, 0, 0, Qt::white);
        QStringList alphas;
        for (const QString &e : Describe(Run(waterfall, 1)))
            alphas << e.section('@', 1);
        QCOMPARE(alphas, QString("80 60 40 20 10 10").split(' '));
        QEffct_Blossoming blossoming;
        blossoming.InitEffct(4, 4, 0, Qt::white);
        QCOMPARE(Describe(Run(blossoming, 1)), QStringList({"7:141,0,255@140"}));
    }

    void noRows()
    {
        EffctRecorder::Install({8}, {}, RowsFile("[OTHER]\na=1\n"));
        QEffct_Raindrops drops;
        QEffct_Retro_Snake snake;
        QEffct_Sine_Wave sine;
        QEffct_Neon_Stream neon;
        QEffct_Rotating_Windmill windmill;
        QEffct_Colorful_Waterfall waterfall;
        QEffct_Blossoming blossoming;
        const QVector<QEffctBase *> all{&drops, &snake, &sine, &neon, &windmill, &waterfall, &blossoming};
        QStringList seen;
        for (QEffctBase *effct : all) {
            effct->InitEffct(4, 4, 0, Qt::white);
            seen << Describe(Run(*effct, 2)).join(QString());
        }
        QCOMPARE(seen, QStringList({"", "CC", "CC", "", "", "CC", "CC"}));
    }
};

QTEST_GUILESS_MAIN(TstLightingEffects)
#include "tst_lighting_effects.moc"
