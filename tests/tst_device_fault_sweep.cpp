// Every transfer path of the device workers against the emulator's knobs: a lost echo or reply,
// a bad checksum, failing feature reports, a device unplugged after some reports, slow writes and
// plain answers (no echo or sum where the reader needs none). A fault ends the path in its failure
// within its time-outs and is never reported as success; slow writes and plain answers go through.
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/MouseConfigRecord.h"
#include "device/ZR_2_0_KeyboradThread.h"
#include "device/ZR_2_0_MouseThread.h"
#include "device/ZR_YX_MouseThread.h"
#include "mouse/LineKeyRecord.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/emu/EmuMouse20.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/MouseKeyRows.h"
#include "tests/support/TestProgramDir.h"

#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {
enum Path {
    KbCodeWired, KbCodeRx, KbReadWired, KbBlockWired, KbMapWired, KbDiyWired, KbKeysRx, KbMacroRx,
    M20Code, M20Read, M20SetParam, M20Dpi, M20Recover, M20Keys,
    YxCode, YxReadAll, YxSetParam, YxStages, YxReset, YxDefaults, YxKeys, YxMacro
};
enum Knob { LostReply, BadSum, FailFeature, Unplug, Slow, Plain };
const char *const kKnobNames[] = {"lost echo or reply", "bad checksum", "failing feature report",
                                  "unplugged", "slow writes", "plain answers"};

struct SweepRow
{
    Path path;
    const char *name;
    QList<Knob> knobs;
    int unplugAfter; // reports taken before the device goes
};

// Which knobs apply to which path: only those that touch what the path sends or reads.
const QList<SweepRow> &Rows()
{
    static const QList<SweepRow> rows = {
        {KbCodeWired, "keyboard wired code 0x82", {FailFeature, Plain}, 0},
        {KbCodeRx, "keyboard receiver code", {Unplug, Plain}, 1},
        {KbReadWired, "keyboard wired tables", {FailFeature, Plain}, 0},
        {KbBlockWired, "keyboard wired block 0x04", {FailFeature, Slow}, 0},
        {KbMapWired, "keyboard wired block and map 0x0A", {FailFeature, Unplug, Slow}, 1},
        {KbDiyWired, "keyboard wired DIY map 0x06", {FailFeature, Slow}, 0},
        {KbKeysRx, "keyboard receiver key table", {LostReply, BadSum, Unplug, Slow, Plain}, 5},
        {KbMacroRx, "keyboard receiver macros", {LostReply, BadSum, Unplug, Slow}, 2},
        {M20Code, "mouse code", {FailFeature, Plain}, 0},
        {M20Read, "mouse image read", {BadSum, FailFeature, Unplug, Slow, Plain}, 1},
        {M20SetParam, "mouse setting", {FailFeature, Slow, Plain}, 0},
        {M20Dpi, "mouse DPI table", {FailFeature, Slow, Plain}, 0},
        {M20Recover, "mouse factory restore", {FailFeature, Unplug, Slow}, 1},
        {M20Keys, "mouse keys and macro pieces", {FailFeature, Unplug, Slow, Plain}, 2},
        {YxCode, "second family code", {FailFeature, Plain}, 0},
        {YxReadAll, "second family read-all", {FailFeature, Unplug, Slow, Plain}, 3},
        {YxSetParam, "second family setting", {FailFeature, Unplug, Slow, Plain}, 1},
        {YxStages, "second family DPI stages", {FailFeature, Unplug, Slow, Plain}, 2},
        {YxReset, "second family factory reset", {FailFeature, Slow}, 0},
        {YxDefaults, "second family defaults", {FailFeature, Unplug, Slow, Plain}, 1},
        {YxKeys, "second family key", {FailFeature, Unplug, Slow, Plain}, 1},
        {YxMacro, "second family macro upload", {LostReply, FailFeature, Unplug, Slow, Plain}, 5},
    };
    return rows;
}

QByteArray Pattern(int n, int seed)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b.append(char((seed + 37 * i) & 0xFF));
    return b;
}

LineKeyRecord KeyRow(uint16_t key, const QString &code, uint8_t type = 0, const QString &macro = QString())
{
    LineKeyRecord r;
    r.rect = QRect(0, 0, 80, 20);
    r.defaultText = QStringLiteral("Key");
    r.defaultCode = QStringLiteral("00000000");
    r.sendAddress = key;
    r.reName = type == 1 ? macro : QStringLiteral("Assigned");
    r.recode = code;
    r.valueType = type;
    return r;
}
} // namespace

class TestDeviceFaultSweep : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void everyPathAgainstEveryKnob_data();
    void everyPathAgainstEveryKnob();

private:
    DeviceRecord *Open(emu::Model model, int kind);
    void Prepare(Path path);
    // Performs the path; true when the device took all of it and nothing reported a failure.
    bool Run(Path path);
    void WriteFile(const QString &path, const QByteArray &bytes) { QVERIFY(m_dir->writeFile(path, bytes)); }

    TestProgramDir *m_dir = nullptr;
    QList<DeviceRecord *> m_records;
    std::shared_ptr<emu::Device> m_dev;
    uint32_t m_node = 0;
    DeviceRecord *m_rec = nullptr;
    DeviceRecord *m_listen = nullptr;
    QHid_Work_Interface *m_worker = nullptr;
    QLStyleMouseTabWidget *m_tab = nullptr;
};

void TestDeviceFaultSweep::init()
{
    emu::Reset();
    emu::SetTimeScale(0.05); // a 6000 ms echo wait becomes 300 ms
    m_dir = new TestProgramDir;
    QVERIFY(m_dir->isValid());
    ClearProductListCache();
}

void TestDeviceFaultSweep::cleanup()
{
    if (m_worker) {
        m_worker->StopListening();
        m_worker->wait(2000);
    }
    delete m_worker;
    m_worker = nullptr;
    delete m_tab;
    m_tab = nullptr;
    QVERIFY(HidNoModelErrors());
    HidCloseAll(m_records);
    emu::Reset();
    m_dev.reset();
    delete m_dir;
    m_dir = nullptr;
}

DeviceRecord *TestDeviceFaultSweep::Open(emu::Model model, int kind)
{
    m_dev = emu::MakeDevice(model);
    m_node = emu::Plug(m_dev);
    QList<DeviceRecord *> found;
    HID_API::OpenDevices(found);
    m_records += found;
    return HidRecordOfKind(found, m_node, kind);
}

void TestDeviceFaultSweep::Prepare(Path path)
{
    if (path <= KbMacroRx) {
        const bool wired = path != KbCodeRx && path != KbKeysRx && path != KbMacroRx;
        m_rec = Open(wired ? emu::Model::KeyboardWired : emu::Model::KeyboardReceiver, wired ? 0 : 1);
        QVERIFY(m_rec);
        m_rec->connectionState = wired ? StateWired : StateWirelessAwake;
        auto *w = new ZR_2_0_KeyboradThread;
        w->SetDevice(m_rec);
        m_worker = w;
        if (path == KbMapWired)
            QCOMPARE(w->ReadDeviceTables(), 0); // the layout gives model 82 its colour place
        QSettings ini(m_dir->filePath(QStringLiteral("Products/QK75/QK75_data.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("ChangeLight/Model"), 82);
        ini.setValue(QStringLiteral("ChangeLight/Color"), QStringLiteral("#ff8000"));
        QVERIFY(WriteMacroFile(*m_dir, QStringLiteral("QK75"), QStringLiteral("m1"), Pattern(40, 3)));
        WriteFile(QStringLiteral("Products/QK75/UserConfig/k.xml"),
                  "<?xml version=\"1.0\"?>\n<KeyBoardRoot><Keylevel_ID ID=\"0\">"
                  "<KeyEdit KeyButtonName=\"Q\" LeftValue=\"q\" KeyValueTyp=\"Attrib_LogitechKey\" Value=\"00150000\"/>"
                  "</Keylevel_ID></KeyBoardRoot>\n");
        w->m_KeyFile = m_dir->filePath(QStringLiteral("Products/QK75/UserConfig/k.xml"));
        w->m_ChangedLayer = 0;
    } else if (path <= M20Keys) {
        m_rec = Open(emu::Model::MouseWired, 2);
        QVERIFY(m_rec);
        m_rec->subType = 2;
        m_rec->deviceType = 1;
        m_rec->connectionState = StateWired;
        auto *w = new ZR_2_0_MouseThread;
        w->SetDevice(m_rec);
        m_worker = w;
        if (path == M20SetParam || path == M20Dpi)
            QVERIFY(w->ReadConfigImage());
        WriteFile(QStringLiteral("Products/QM8/UserConfig/MouseParamConfig.ini"),
                  "[ChangeParam]\nChangeCode=1\nModel=Seep\n[Seep]\nvalue=20\n");
        QStringList base, keys;
        for (int i = 0; i < 520; ++i)
            base << QString::asprintf("%02x", i == 12 ? 0x13 : (i == 16 ? 0x07 : (i == 11 ? 24 : 0)));
        for (int i = 0; i < 20; ++i)
            keys << QString::asprintf("%02x", i + 1);
        QSettings ini(m_dir->filePath(QStringLiteral("Products/QM8/QM8_data.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("MouseConfig/Base"), base.join(QLatin1Char(',')));
        ini.setValue(QStringLiteral("MouseConfig/Keys"), keys.join(QLatin1Char(',')));
        QVERIFY(WriteMacroFile(*m_dir, QStringLiteral("QM8"), QStringLiteral("m1"), Pattern(1200, 5)));
        m_tab = ShowKeyRows(QStringLiteral("QM8.png"), {KeyRow(8, QStringLiteral("00010004")),
                                                        KeyRow(12, QString(), 1, QStringLiteral("m1"))});
    } else {
        m_rec = Open(emu::Model::SecondFamilyReceiver, 7);
        m_listen = HidRecordOfKind(m_records, m_node, 9);
        QVERIFY(m_rec && m_listen);
        m_rec->name = m_listen->name = QStringLiteral("QUORIX QX3");
        m_rec->connectionState = m_listen->connectionState = StateWirelessAwake;
        auto *w = new ZR_YX_MouseThread;
        w->SetCommandDevice(m_rec);
        w->SetDevice(m_listen);
        m_worker = w;
        if (path == YxSetParam || path == YxStages) {
            w->SynchronizingDeviceData();
            QVERIFY(m_rec->mouseData);
        }
        WriteFile(QStringLiteral("Products/QX3/UserConfig/MouseParamConfig.ini"),
                  "[Zr_Mouse]\nMouseName=QUORIX QX3\n[ChangeParam]\nChangeCode=1\nModel=Seep\n[Seep]\nvalue=20\n");
        QVERIFY(WriteMacroFile(*m_dir, QStringLiteral("QX3"), QStringLiteral("m1"), Pattern(60, 7), 1, 1));
        const bool macro = path == YxMacro;
        m_tab = ShowKeyRows(QStringLiteral("QX3.png"),
                            {macro ? KeyRow(1, QString(), 1, QStringLiteral("m1")) : KeyRow(1, QStringLiteral("00010004"))}, 1);
    }
    m_worker->m_DeviceId = m_rec->deviceId;
}

bool TestDeviceFaultSweep::Run(Path path)
{
    auto *kb = qobject_cast<ZR_2_0_KeyboradThread *>(m_worker);
    auto *m20 = qobject_cast<ZR_2_0_MouseThread *>(m_worker);
    auto *yx = qobject_cast<ZR_YX_MouseThread *>(m_worker);
    auto *keyboard = dynamic_cast<emu::EmuKeyboard *>(m_dev.get());
    auto *mouse = dynamic_cast<emu::EmuMouse20 *>(m_dev.get());
    auto *second = dynamic_cast<emu::MouseYx *>(m_dev.get());
    switch (path) {
    case KbCodeWired:
    case KbCodeRx:
        return kb->ReadDeviceCode() == QString::fromLatin1(keyboard->Code().toHex());
    case KbReadWired:
        return kb->ReadDeviceTables() == 0;
    case KbBlockWired:
        kb->ChangeLightModel();
        return kb->WriteResult();
    case KbMapWired:
        kb->ChangeLightColor();
        return kb->WriteResult() && uint8_t(keyboard->BaseMap().at(11)) == 0xFF;
    case KbDiyWired:
        kb->WriteDiyColorMap();
        return kb->WriteResult();
    case KbKeysRx: {
        QSignalSpy result(kb, &ZR_2_0_KeyboradThread::ChangeResetKeyvalueRetul);
        kb->WriteKeys();
        return result.count() == 1 && result.at(0).at(0).toBool() && !keyboard->KeyLayer(0).isEmpty();
    }
    case KbMacroRx:
        return kb->SendMacroData({QStringLiteral("m1")}) && keyboard->Macros().contains(Pattern(40, 3));
    case M20Code:
        return m20->ReadDeviceCode() == QString::fromLatin1(mouse->Code().toHex());
    case M20Read:
        m20->SynchronizingDeviceData();
        return m_rec->mouseData != nullptr;
    case M20SetParam:
        m20->SetParam(1, 0, 0, 0, 0, 0, 0);
        return mouse->ImageWrites() == 1 && uint8_t(mouse->Image().at(82)) == 20;
    case M20Dpi:
        m20->WriteDpiTable();
        return mouse->ImageWrites() == 1;
    case M20Recover:
        m20->RecoverConfig();
        return mouse->ImageWrites() == 1 && !mouse->KeyImage().isEmpty();
    case M20Keys:
        return m20->WriteKeyTable() && mouse->MacroUploads() == 1;
    case YxCode: {
        // the wake query stores the code and name as the code read does
        m_rec->name = m_listen->name = QString();
        const bool online = yx->CheckOnline();
        return online && m_rec->CodeText() == QLatin1String("3a7c03010001") && m_listen->name == QLatin1String("QUORIX QX3")
            && yx->ReadDeviceCode() == QLatin1String("3a7c03010001");
    }
    case YxReadAll:
        yx->SynchronizingDeviceData();
        return m_rec->mouseData && m_rec->mouseData->image == second->Image();
    case YxSetParam:
        yx->SetParam(1, 0, 0, 0, 0, 0, 0);
        return uint8_t(second->Image().at(8)) == 40;
    case YxStages:
        m_rec->mouseData->dpiValues = {1000, 2000};
        m_rec->mouseData->currentStage = 1;
        yx->WriteDpiTable();
        return second->Image().mid(11, 4) == QByteArray::fromHex("13002700") && uint8_t(second->Image().at(2)) == 0x12;
    case YxReset:
        yx->ResetDevice();
        return second->FactoryResets() == 1;
    case YxDefaults:
        yx->ApplyDefaults();
        return second->DefaultRestores() == 1;
    case YxKeys:
        yx->WriteKeys();
        return second->KeyAssignments().value(1) == QByteArray::fromHex("00010004");
    case YxMacro:
        yx->WriteKeys();
        return second->Uploads() == 1 && second->MacroData().size() == 64 && second->KeyAssignments().contains(1);
    }
    return false;
}

void TestDeviceFaultSweep::everyPathAgainstEveryKnob_data()
{
    QTest::addColumn<int>("path");
    QTest::addColumn<int>("knob");
    QTest::addColumn<int>("unplugAfter");
    for (const SweepRow &row : Rows())
        for (Knob knob : row.knobs)
            QTest::addRow("%s / %s", row.name, kKnobNames[knob]) << int(row.path) << int(knob) << row.unplugAfter;
}

void TestDeviceFaultSweep::everyPathAgainstEveryKnob()
{
    QFETCH(int, path);
    QFETCH(int, knob);
    QFETCH(int, unplugAfter);
    Prepare(Path(path));
    if (QTest::currentTestFailed())
        return;
    emu::Knobs k;
    switch (Knob(knob)) {
    case LostReply:
        k.noEcho = true;
        if (auto *second = dynamic_cast<emu::MouseYx *>(m_dev.get()))
            second->SetNeverReady(true); // the readiness answer never comes
        break;
    case BadSum:
        k.wrongChecksumEcho = true;
        if (auto *mouse = dynamic_cast<emu::EmuMouse20 *>(m_dev.get()))
            mouse->SetBadImageSum(true);
        break;
    case FailFeature: k.failFeatures = true; break;
    case Unplug: k.unplugAfterWrites = unplugAfter; break;
    case Slow: k.writeDelayMs = 5; break;
    case Plain: k.plainAnswers = true; break;
    }
    m_dev->setKnobs(k);
    m_rec->SetCodeText(QString());
    if (m_listen)
        m_listen->SetCodeText(QString());
    emu::ClearTraffic();
    QSignalSpy shown(m_worker, &QHid_Work_Interface::ShowBusy);
    QSignalSpy hidden(m_worker, &QHid_Work_Interface::HideBusy);
    QElapsedTimer clock;
    clock.start();
    const bool ok = Run(Path(path));
    // a faulty device fails within its time-outs (scaled to tenths of a second here)
    QVERIFY2(clock.elapsed() < 8000, qPrintable(QStringLiteral("%1 ms").arg(clock.elapsed())));
    if (knob == Slow || knob == Plain)
        QVERIFY(ok); // slow or plain, the device is served all the same
    else
        QVERIFY(!ok); // a fault is never passed off as success
    if (shown.count() > 0)
        QVERIFY(hidden.count() >= 1); // the busy state never outlives the operation
    if (knob == FailFeature) { // the fault was met, not stepped around
        const QVector<emu::Traffic> log = emu::TrafficLog(m_node);
        QVERIFY(std::any_of(log.cbegin(), log.cend(), [](const emu::Traffic &t) { return t.result < 0; }));
    }
}

QTEST_MAIN(TestDeviceFaultSweep)
#include "tst_device_fault_sweep.moc"
