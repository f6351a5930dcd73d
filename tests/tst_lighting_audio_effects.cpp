// Audio light effects fed with analysis data directly, writing to the emulated keyboard, wired
// and through its receiver: the frames the keyboard decodes, the report forms, the limits.
#include "app/ProductCatalogue.h"
#include "app/RunProcessOutput.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "lighting/AudioEffectFactory.h"
#include "lighting/QAudioEffctBass.h"
#include "lighting/QAudio_Dance_Soft.h"
#include "lighting/QAudio_Dynamic_Spectrum.h"
#include "lighting/QEffctBase.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/TestProgramDir.h"

#include <QSettings>
#include <QtTest>
#include <memory>
#include <thread>

using emu::Model;

namespace {
QString g_rows;
QSettings *RowsFile() { return new QSettings(g_rows, QSettings::IniFormat); }
quint32 g_picture[64 * 256];
const quint32 *Picture() { return g_picture; }

// A block whose level (max - mean) is about peak: one bin standing out of 480.
QVector<double> Peak(double peak)
{
    QVector<double> d(480, 0.0);
    d[10] = peak;
    return d;
}

// Fills the frame with given key colours and sends it: the report forms on their own.
class FrameSender : public QAudioEffctBass
{
public:
    void Send(DeviceRecord *device, const QByteArray &keys, bool oneColour)
    {
        m_device = device;
        for (int i = 0; i < keys.size() / 3; ++i)
            SetKey(8 + 3 * i, keys[3 * i], keys[3 * i + 1], keys[3 * i + 2]);
        if (oneColour)
            m_frame[kFrameSize - 1] = 255;
        SendFrame();
    }
};
} // namespace

class TestAudioEffects : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void lightFieldSteps_data();
    void lightFieldSteps();
    void danceSoftReachesHigher_data();
    void danceSoftReachesHigher();
    void danceSoftRunsItsStoredScales_data();
    void danceSoftRunsItsStoredScales();
    void keyPackets_data();
    void keyPackets();
    void packetRunIsNotInterleaved();
    void oddReportLengthsAndOffsets();
    void silenceAndEmptyRows_data();
    void silenceAndEmptyRows();
    void arithmetic();
    void frameSleeps();

private:
    DeviceRecord *Open(bool wired);
    void WriteSysBuild(int count, const QString &scales);
    QVector<emu::AudioFrame> Frames() const { return m_dev->AudioFrames(); }

    TestProgramDir *m_dir = nullptr;
    QList<DeviceRecord *> m_records;
    std::shared_ptr<emu::EmuKeyboard> m_dev;
    uint32_t m_node = 0;
};

void TestAudioEffects::init()
{
    emu::Reset();
    m_dir = new TestProgramDir;
    QVERIFY(m_dir->isValid());
    ClearProductListCache();
    g_rows = m_dir->filePath(QStringLiteral("Products/QK75/rhythmLight.ini"));
    QEffctBase::SetRowsFileOpener(&RowsFile);
    WriteSysBuild(6, QStringLiteral("80,100,80,60,40,0"));
}

void TestAudioEffects::cleanup()
{
    QVERIFY(HidNoModelErrors());
    HidCloseAll(m_records);
    emu::Reset();
    m_dev.reset();
    QEffctBase::SetRowsFileOpener(nullptr);
    QAudio_Dynamic_Spectrum::SetPictureSource(nullptr);
    delete m_dir;
}

// Frame sleeps of 1 ms keep the runs short; the Dance Soft sub-frames as given.
void TestAudioEffects::WriteSysBuild(int count, const QString &scales)
{
    QSettings ini(m_dir->filePath(QStringLiteral("SysBuild.ini")), QSettings::IniFormat);
    const QStringList groups{"AudionConfig", "AUDIO_DANCE_SOFT_CONFIG", "DAZZLING_ROCK_CONFIG",
                             "CLOUDS_RISE_AND_SNOW_FLY_CONFIG", "LIGHT_FIELD_CHANGE_CONFIG",
                             "THE_GURGLING_STREAM_CONFIG", "BLOOMING_PASSION_CONFIG", "DYNAMIC_SPECTRUM_CONFIG"};
    for (const QString &g : groups)
        for (const char *key : {"/AudonAmdSellp", "/AudoninterSellp", "/WirelessSellp"})
            ini.setValue(g + QLatin1String(key), 1);
    ini.setValue(QStringLiteral("AudionConfig/interDanceSoftCount"), count);
    ini.setValue(QStringLiteral("AudionConfig/interDanceSoftScs"), scales);
}

DeviceRecord *TestAudioEffects::Open(bool wired)
{
    m_dev = std::static_pointer_cast<emu::EmuKeyboard>(
        emu::MakeDevice(wired ? Model::KeyboardWired : Model::KeyboardReceiver));
    m_node = emu::Plug(m_dev);
    QList<DeviceRecord *> found;
    HID_API::OpenDevices(found);
    m_records += found;
    DeviceRecord *r = nullptr;
    for (DeviceRecord *c : HidRecordsOfNode(found, m_node))
        if (wired ? c->featureLength == 520 : c->outputLength == 20)
            r = c;
    if (r)
        r->connectionState = wired ? StateWired : StateWirelessAwake;
    return r;
}

std::unique_ptr<QAudioEffctBass> Make(ushort type, QColor colour = QColor(200, 100, 50), uchar multi = 0)
{
    std::unique_ptr<QAudioEffctBass> e(CreateAudioEffect(type));
    e->LoadLayout();
    e->SetColours(colour, multi, 0.0, 0.0);
    e->SetPaused(false);
    return e;
}

void TestAudioEffects::lightFieldSteps_data()
{
    QTest::addColumn<bool>("wired");
    QTest::newRow("wired") << true;
    QTest::newRow("receiver") << false;
}

// Silence sends nothing; a quiet and a loud block give one-colour frames in the colour of
// their step: level 30.9 -> step 3 -> (150, 75, 38); level 90.8 -> step 9 -> (25, 0, 50).
void TestAudioEffects::lightFieldSteps()
{
    QFETCH(bool, wired);
    DeviceRecord *r = Open(wired);
    QVERIFY(r);
    auto e = Make(171);
    e->Render(nullptr, 0, r);
    QCOMPARE(Frames().size(), 0);
    for (double peak : {31.0, 91.0}) {
        QVector<double> d = Peak(peak);
        e->Render(d.data(), d.size(), r);
    }
    const QVector<emu::AudioFrame> f = Frames();
    QCOMPARE(f.size(), 2);
    const QByteArray quiet = QByteArray::fromHex("964b26"), loud = QByteArray::fromHex("190032");
    const int keys = wired ? 128 : 129; // the receiver's one-colour report covers every key
    QCOMPARE(f[0].singleColour, !wired);
    for (int i = 0; i < keys; ++i) {
        QCOMPARE(f[0].colours.mid(3 * i, 3).toHex(), quiet.toHex());
        QCOMPARE(f[1].colours.mid(3 * i, 3).toHex(), loud.toHex());
    }
}

void TestAudioEffects::danceSoftReachesHigher_data()
{
    QTest::addColumn<bool>("wired");
    QTest::addColumn<int>("quietTop");
    QTest::addColumn<int>("loudTop");
    // levels 20 and 100 per bin: x = 0.96 and 4.8; wired adds the partly lit step above
    QTest::newRow("wired") << true << 1 << 5;
    QTest::newRow("receiver") << false << 0 << 4;
}

// The highest lit step of every band in the first sub-frame; six frames a block, the last black.
void TestAudioEffects::danceSoftReachesHigher()
{
    QFETCH(bool, wired);
    QFETCH(int, quietTop);
    QFETCH(int, loudTop);
    DeviceRecord *r = Open(wired);
    QVERIFY(r);
    auto e = Make(168);
    QSettings rows(g_rows, QSettings::IniFormat);
    const LightBands bands = LightRowsFile::ReadSteps(rows, QStringLiteral("Audio_dance_Soft"));
    QCOMPARE(bands.size(), 14);
    for (double v : {20.0, 100.0}) {
        m_dev->ClearAudioFrames();
        QVector<double> d(480, v);
        e->Render(d.data(), d.size(), r);
        const QVector<emu::AudioFrame> f = Frames();
        QCOMPARE(f.size(), 6);
        QCOMPARE(f[5].colours, QByteArray(129 * 3, '\0'));
        for (const LightBand &band : bands) {
            int top = -1;
            for (int k = 0; k < band.size(); ++k)
                if (f[0].colours.mid(band[k][0] - 8, 3) != QByteArray(3, '\0'))
                    top = k;
            QCOMPARE(top, std::min(v < 50 ? quietTop : loudTop, band.size() - 1));
        }
    }
}

void TestAudioEffects::danceSoftRunsItsStoredScales_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("scales");
    QTest::addColumn<int>("frames");
    QStringList many;
    for (int i = 0; i < 25; ++i)
        many << QStringLiteral("50");
    QTest::newRow("as configured") << 2 << "80,100,80" << 2;
    QTest::newRow("count above the scales") << 9 << "80,100,0" << 3;
    QTest::newRow("more than twenty") << 30 << many.join(',') << 20;
}

void TestAudioEffects::danceSoftRunsItsStoredScales()
{
    QFETCH(int, count);
    QFETCH(QString, scales);
    QFETCH(int, frames);
    WriteSysBuild(count, scales);
    DeviceRecord *r = Open(true);
    QVERIFY(r);
    auto e = Make(168);
    QVERIFY(static_cast<QAudio_Dance_Soft *>(e.get())->Scales().size() <= QAudio_Dance_Soft::kMaxScales);
    QVector<double> d(480, 100.0);
    e->Render(d.data(), d.size(), r);
    QCOMPARE(Frames().size(), frames);
}

void TestAudioEffects::keyPackets_data()
{
    QTest::addColumn<QByteArray>("keys");
    QTest::addColumn<bool>("oneColour");
    QTest::addColumn<QByteArray>("lengths"); // byte 4 of each 0x88 report
    QByteArray rainbow; // 129 distinct colours: 645 stream bytes
    for (int i = 0; i < 129; ++i)
        rainbow += QByteArray("\x0a\x0b", 2) + char(i + 1);
    QByteArray manyLengths(46, char(0x1E));
    QTest::newRow("129 colours") << rainbow << false << manyLengths + char(0x11);
    QTest::newRow("12 keys one colour") << QByteArray::fromHex("010203").repeated(12) << false << QByteArray::fromHex("1e12");
    QTest::newRow("all black") << QByteArray(129 * 3, '\0') << false << QByteArray();
    QTest::newRow("one-colour black") << QByteArray(129 * 3, '\0') << true << QByteArray::fromHex("23");
}

// The receiver forms: packet sizes, and the colours the keyboard decodes are the frame's.
void TestAudioEffects::keyPackets()
{
    QFETCH(QByteArray, keys);
    QFETCH(bool, oneColour);
    QFETCH(QByteArray, lengths);
    DeviceRecord *r = Open(false);
    QVERIFY(r);
    emu::ClearTraffic();
    FrameSender s;
    s.SetPaused(false);
    s.Send(r, keys, oneColour);
    QByteArray seen;
    for (const emu::Traffic &t : emu::TrafficLog(m_node, emu::Traffic::Write))
        seen += t.bytes.at(4);
    QCOMPARE(seen.toHex(), lengths.toHex());
    if (!lengths.isEmpty())
        QCOMPARE(Frames().value(0).colours.toHex(), keys.leftJustified(129 * 3, '\0').toHex());
}

// A worker's 20-byte reports written meanwhile never land inside a frame's packet run.
void TestAudioEffects::packetRunIsNotInterleaved()
{
    DeviceRecord *r = Open(false);
    QVERIFY(r);
    QByteArray keys;
    for (int i = 0; i < 129; ++i)
        keys += char(i + 1) + QByteArray("\x01\x02", 2);
    std::atomic<bool> done{false};
    std::thread other([&] {
        QByteArray q(20, '\0');
        q[0] = char(r->reportId);
        q[1] = 0x05;
        q[2] = 0x01;
        q[19] = char(emu::Sum19(q));
        while (!done) {
            RecordWrite(r, reinterpret_cast<const uchar *>(q.constData()), 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    FrameSender s;
    s.SetPaused(false);
    s.Send(r, keys, false);
    s.Send(r, keys, false);
    done = true;
    other.join();
    int expected = 0;
    for (const emu::Traffic &t : emu::TrafficLog(m_node, emu::Traffic::Write)) {
        if (uint8_t(t.bytes.at(1)) == 0x88) {
            QCOMPARE(int(uint8_t(t.bytes.at(3))), expected);
            expected = (expected + 1) % 47;
        } else {
            QCOMPARE(expected, 0);
        }
    }
    QCOMPARE(Frames().size(), 2);
}

// Report lengths the device did not announce as 520 / 20 are sent from a zeroed buffer; row
// offsets outside the frame's keys are skipped.
void TestAudioEffects::oddReportLengthsAndOffsets()
{
    DeviceRecord *r = Open(true);
    QVERIFY(r);
    QSettings rows(g_rows, QSettings::IniFormat);
    rows.setValue(QStringLiteral("Dazzling_rock/Index_numble"), 2);
    rows.setValue(QStringLiteral("Dazzling_rock/RowButton_1"), QStringLiteral("0,5,518,600,65535,8"));
    rows.setValue(QStringLiteral("Dazzling_rock/RowButton_2"), QStringLiteral("11"));
    rows.sync();
    auto e = Make(169);
    QVector<double> d = Peak(200.0);
    e->Render(d.data(), d.size(), r); // the shown level rises one row per block
    e->Render(d.data(), d.size(), r);
    QCOMPARE(Frames().size(), 2);
    QCOMPARE(Frames()[1].colours.left(3).toHex(), QByteArray("c86432"));
    QCOMPARE(Frames()[1].colours.mid(3).count('\0'), 128 * 3);

    emu::ClearTraffic();
    r->featureLength = 600;
    e->Render(d.data(), d.size(), r);
    const QVector<emu::Traffic> sent = emu::TrafficLog(m_node, emu::Traffic::SendFeature);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent[0].bytes.size(), 600);
    QCOMPARE(sent[0].bytes.mid(520).count('\0'), 80);
    emu::ClearErrors(); // the keyboard refuses the 600-byte report, as it should

    DeviceRecord *w = Open(false);
    QVERIFY(w);
    w->outputLength = 8;
    FrameSender s;
    s.SetPaused(false);
    s.Send(w, QByteArray::fromHex("010203"), true);
    s.Send(w, QByteArray::fromHex("010203"), false);
    QCOMPARE(emu::TrafficLog(m_node, emu::Traffic::Write).size(), 2);
    emu::ClearErrors();
}

void TestAudioEffects::silenceAndEmptyRows_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("wired");
    QTest::addColumn<bool>("rows");
    for (int type : {168, 169, 170, 171, 172, 173, 428})
        for (bool wired : {true, false})
            for (bool rows : {true, false})
                QTest::addRow("%d %s %s", type, wired ? "wired" : "receiver", rows ? "rows" : "no rows")
                    << type << wired << rows;
}

// Digital silence with the product's rows; silence, one-frame and all-zero blocks without rows:
// each effect stays in its idle state (only Dazzling Rock sends, and then black), nothing else.
void TestAudioEffects::silenceAndEmptyRows()
{
    QFETCH(int, type);
    QFETCH(bool, wired);
    QFETCH(bool, rows);
    DeviceRecord *r = Open(wired);
    QVERIFY(r);
    QAudio_Dynamic_Spectrum::SetPictureSource(&Picture);
    std::fill(std::begin(g_picture), std::end(g_picture), 0u);
    if (!rows)
        QVERIFY(m_dir->writeFile(QStringLiteral("Products/QK75/rhythmLight.ini"), "[Audio_dance_Soft]\nIndex_numble=0\n"));
    auto e = Make(ushort(type), QColor(200, 100, 50), 1);
    double one = 5.0, zeros[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        e->Render(nullptr, 0, r);
        if (rows)
            continue;
        e->Render(&one, 1, r);
        e->Render(zeros, 3, r);
    }
    for (const emu::AudioFrame &f : Frames())
        QVERIFY2(f.colours.count('\0') == f.colours.size() || type == 171, qPrintable(f.colours.toHex()));
    if (type != 169 && type != 171 && type != 428)
        QCOMPARE(Frames().size(), 0);
    e->SetPaused(true);
    e->Stop();
}

void TestAudioEffects::arithmetic()
{
    const double ten[10] = {1, 9, 2, 3, 8, 4, 5, 7, 6, 100};
    QCOMPARE(QAudioEffctBass::BandLevels(ten, 10, 3, 0.5), QVector<double>({4.5, 4.0, 3.5}));
    QCOMPARE(QAudioEffctBass::Level(ten, 0), 0.0);
    QCOMPARE(QAudioEffctBass::Level(ten, 2), 4.0);
    for (auto [v, want] : {std::pair<double, int>{11.5, 12}, {11.49, 11}, {-0.5, 1}, {-0.7, 1}, {-2.7, -1}, {2.5, 3}})
        QCOMPARE(RoundHalfAway(v), want);
    QCOMPARE(RunProcessOutput(QStringLiteral("echo hello NAME")), QStringLiteral("hello"));
}

// An effect's own group replaces the common sleeps, low byte kept; without the file the
// built-in 5, 50 and 5 ms stay.
void TestAudioEffects::frameSleeps()
{
    {
        QSettings ini(m_dir->filePath(QStringLiteral("SysBuild.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("LIGHT_FIELD_CHANGE_CONFIG/AudoninterSellp"), 300);
        ini.remove(QStringLiteral("LIGHT_FIELD_CHANGE_CONFIG/WirelessSellp"));
    }
    std::unique_ptr<QAudioEffctBass> e(CreateAudioEffect(171));
    QCOMPARE(int(e->OtherFrameSleep()), 44);
    QCOMPARE(int(e->WirelessFrameSleep()), 0);
    QCOMPARE(int(e->AmdFrameSleep()), 1);
    QVERIFY(m_dir->removeFile(QStringLiteral("SysBuild.ini")));
    for (ushort type : {168, 171, 428}) {
        e.reset(CreateAudioEffect(type));
        e->LoadLayout();
        QCOMPARE(QVector<int>({e->AmdFrameSleep(), e->OtherFrameSleep(), e->WirelessFrameSleep()}), QVector<int>({5, 50, 5}));
    }
    e.reset(CreateAudioEffect(168));
    QCOMPARE(static_cast<QAudio_Dance_Soft *>(e.get())->Scales(), QVector<uchar>({80, 100, 80, 60, 40, 0}));
}

QTEST_MAIN(TestAudioEffects)
#include "tst_lighting_audio_effects.moc"
