// Preview frames of the lighting effects, compared with values worked out by hand from each
// effect's rules, with fixed key positions, a rows file and scripted random numbers.
#include "tests/support/EffctRecorder.h"
#include "lighting/QEffct_Fixed_No.h"
#include "lighting/QEffct_Rainbow.h"
#include "lighting/QEffct_Repire.h"
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
};

QTEST_GUILESS_MAIN(TstLightingEffects)
#include "tst_lighting_effects.moc"
