#include "lighting/LightRowsFile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

Q_DECLARE_METATYPE(LightRows)

class TstLightingRows : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    std::unique_ptr<QSettings> Ini(const QByteArray &content)
    {
        QFile file(m_dir.filePath(QStringLiteral("rhythmLight.ini")));
        file.remove();
        if (!content.isNull()) {
            file.open(QIODevice::WriteOnly);
            file.write(content);
            file.close();
        }
        return std::unique_ptr<QSettings>(OpenRhythmLightIni(m_dir.path()));
    }

private Q_SLOTS:
    void rows_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<LightRows>("rows");
        QTest::newRow("missing file") << QByteArray() << LightRows{};
        QTest::newRow("no group") << QByteArray("[OTHER]\nIndex_numble=2\n") << LightRows{};
        QTest::newRow("count 0") << QByteArray("[G]\nIndex_numble=0\nRowButton_1=\"8\"\n") << LightRows{};
        QTest::newRow("count -1") << QByteArray("[G]\nIndex_numble=-1\nRowButton_1=\"8\"\n") << LightRows{};
        QTest::newRow("count not a number") << QByteArray("[G]\nIndex_numble=x\nRowButton_1=\"8\"\n") << LightRows{};
        QTest::newRow("bad and empty items") << QByteArray("[G]\nIndex_numble=2\nRowButton_1=\"8,11,,14\"\nRowButton_2=\"x,70000,5\"\n")
                                             << LightRows{{8, 11, 0, 14}, {0, 0, 5}};
        QTest::newRow("unquoted list") << QByteArray("[G]\nIndex_numble=1\nRowButton_1=10,11,12\n") << LightRows{{10, 11, 12}};
        QTest::newRow("missing and empty row") << QByteArray("[G]\nIndex_numble=2\nRowButton_2=\n") << LightRows{{0}, {0}};
    }
    void rows()
    {
        QFETCH(QByteArray, content);
        QFETCH(LightRows, rows);
        auto ini = Ini(content);
        QCOMPARE(LightRowsFile::ReadRows(*ini, QStringLiteral("G")), rows);
    }

    void absurdCountIsCapped()
    {
        auto ini = Ini("[G]\nIndex_numble=2000000000\nRowButton_1=\"8\"\n");
        const LightRows rows = LightRowsFile::ReadRows(*ini, QStringLiteral("G"));
        QCOMPARE(rows.size(), LightRowsFile::kMaxRows);
        QCOMPARE(rows.first(), LightRow{8});
    }

    void steps()
    {
        auto ini = Ini("[Audio_dance_Soft]\nIndex_numble=1\nRowButton_1=\"392,389|386,383|380\"\n");
        const LightBands bands = LightRowsFile::ReadSteps(*ini, QStringLiteral("Audio_dance_Soft"));
        QCOMPARE(bands, (LightBands{{{392, 389}, {386, 383}, {380}}}));
    }

    void colourMap_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("head"); // the rest of the 520 bytes is 0
        QTest::newRow("blanks and line breaks") << QByteArray("[STANDARMCOLOURMAP]\nBuffs=\"ff, 00,\\n 10\\r\"\n")
                                                << QByteArray("\xff\x00\x10", 3);
        QTest::newRow("bad items") << QByteArray("[STANDARMCOLOURMAP]\nBuffs=\"zz,,1ff,7\"\n") << QByteArray("\x00\x00\x00\x07", 4);
        QTest::newRow("missing key") << QByteArray("[X]\na=1\n") << QByteArray();
        QTest::newRow("missing file") << QByteArray() << QByteArray();
    }
    void colourMap()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, head);
        auto ini = Ini(content);
        const QByteArray frame = LightRowsFile::StandardColourMap(*ini);
        QCOMPARE(frame.size(), 520);
        QCOMPARE(frame.left(head.size()), head);
        QCOMPARE(frame.mid(head.size()).count('\0'), 520 - head.size());
    }

    void colourMapIgnoresItemsPast520()
    {
        QStringList items;
        for (int i = 0; i < 600; ++i)
            items << QString::number(i < 520 ? 1 : 2, 16);
        auto ini = Ini("[STANDARMCOLOURMAP]\nBuffs=\"" + items.join(',').toLatin1() + "\"\n");
        QCOMPARE(LightRowsFile::StandardColourMap(*ini), QByteArray(520, '\1'));
    }

    void audioSettingsShortColour()
    {
        auto ini = Ini("[Dazzling_rock]\nGrabAudioTime=30\nLabelColorMap=\"12,34\"\nMColour=true\nSliderGain=5\n");
        const AudioEffectSettings s = LightRowsFile::ReadAudioSettings(*ini, QStringLiteral("Dazzling_rock"));
        QCOMPARE(s.GrabAudioTime, 30u);
        QCOMPARE(QVector<int>({s.R, s.G, s.B}), QVector<int>({12, 34, 0}));
        QVERIFY(s.MColour);
        QCOMPARE(s.SliderGain, 5u);
        QCOMPARE(s.SliderSmooth, 0u);
    }

    // The sample product's file: host rows on the layout's positions, audio rows on key offsets.
    void sampleFile()
    {
        std::unique_ptr<QSettings> ini(OpenRhythmLightIni(QStringLiteral(QUORIX_SOURCE_PROGRAMDIR "/Products/QK75")));
        for (const char *group : {"RAINDROPS", "NEON_STREAM", "SINE_WAVE", "ROTATING_WINDMILL", "COLORFUL_WATERFALL",
                                  "BLOSSOMING", "Dazzling_rock", "Clouds_Rise_and_snow_fly", "The_gurgling_stream"}) {
            const LightRows rows = LightRowsFile::ReadRows(*ini, QLatin1String(group));
            QVERIFY2(!rows.isEmpty(), group);
            for (const LightRow &row : rows)
                for (ushort p : row)
                    QVERIFY2(p >= 8 && p <= 392 && (p - 8) % 3 == 0, group);
        }
        for (const char *group : {"Audio_dance_Soft", "Blooming_passion"})
            QVERIFY(!LightRowsFile::ReadSteps(*ini, QLatin1String(group)).isEmpty());
        QVERIFY(LightRowsFile::ReadList(*ini, QStringLiteral("RETRO_SNAKE/RowButton_2")).size() > 1);
        QCOMPARE(ini->value(QStringLiteral("SHADOW_DISAPPEAR/Index_numble")).toInt(), -1);
        QCOMPARE(ini->value(QStringLiteral("STANDARMCOLOURMAP/Buffs")).toString().split(',').size(), 520);
        QCOMPARE(ini->value(QStringLiteral("AudioParam/DefaultAudio")).toString(), QStringLiteral("Audio_dance_Soft"));
        QVERIFY(ini->contains(QStringLiteral("AudioParam/OPen")));
    }
};

QTEST_GUILESS_MAIN(TstLightingRows)
#include "tst_lighting_rows.moc"
