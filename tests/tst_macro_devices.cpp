// A macro from the editor to the mouse: recorded through a fake capture, saved by the editor
// page, assigned to a button of the emulated mouse of each family, and sent again after an edit
// once the user agrees.
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "device/ZR_2_0_KeyboradThread.h"
#include "macros/QEditMacroPage_Iner.h"
#include "macros/QEditPage.h"
#include "macros/QJsonConfing.h"
#include "macros/QKeyHook.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/emu/EmuMouse20.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/FakeInputCapture.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/MessageAnswerer.h"
#include "tests/support/TestProgramDir.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

class TestMacroDevices : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void recordedMacroReachesTheMouse_data();
    void recordedMacroReachesTheMouse();
    void recordedMacroReachesAKey();

private:
    QLStyleMouseTabWidget *Tab() const { return QLStyleMouseTabWidget::instance(); }
    HID_API *Api() const { return HID_API::instance(); }
    bool Idle() const { return Api()->Manager()->WaitIdle(10000); }
    QByteArray Wire() const { return m20 ? m20->MacroData() : myx->MacroData(); }
    // Records key down and up, then right button down and up, and saves with the Save button.
    void RecordAndSave(uint key);
    QByteArray Saved(const QString &name) const
    {
        int way = 0, one = 0;
        return QJsonConfing::MacroRecords(QJsonConfing().ReadMacroData(name, &way, &one));
    }

    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    std::shared_ptr<emu::EmuMouse20> m20;
    std::shared_ptr<emu::MouseYx> myx;
    FakeInputCapture *m_fake = nullptr;
};

void TestMacroDevices::init()
{
    emu::Reset();
    emu::SetTimeScale(0.05);
    m_dir = std::make_unique<TestProgramDir>();
    QVERIFY(m_dir->isValid());
    ClearProductListCache();
    m_fake = FakeInputCapture::Install();
}

void TestMacroDevices::cleanup()
{
    QVERIFY(HidNoModelErrors());
    m_main.reset();
    m20.reset();
    myx.reset();
    emu::Reset();
    m_dir.reset();
}

void TestMacroDevices::RecordAndSave(uint key)
{
    QEditPage *page = QEditPage::Instance();
    auto *record = page->findChild<QCheckBox *>("ButTool");
    record->click();
    m_fake->Key(true, key, 1000);
    m_fake->Key(false, key, 1100);
    m_fake->Button(516, 1200);
    m_fake->Button(517, 1300);
    record->click();
    QVERIFY(!QKeyHook::Instance()->IsHooked());
    page->findChild<QPushButton *>("ButSeven")->click();
}

void TestMacroDevices::recordedMacroReachesTheMouse_data()
{
    QTest::addColumn<bool>("second");
    QTest::newRow("20/520 mouse") << false;
    QTest::newRow("second-family mouse") << true;
}

void TestMacroDevices::recordedMacroReachesTheMouse()
{
    QFETCH(bool, second);
    using emu::Model;
    uint32_t node = 0;
    if (second) {
        myx = std::static_pointer_cast<emu::MouseYx>(emu::MakeDevice(Model::SecondFamilyWired));
        node = emu::Plug(myx);
    } else {
        m20 = std::static_pointer_cast<emu::EmuMouse20>(emu::MakeDevice(Model::MouseWired));
        node = emu::Plug(m20);
    }
    const QString product = second ? QStringLiteral("QX3") : QStringLiteral("QM8");
    m_main = std::make_unique<MainWidget>();
    QKeyLableItem *tile = Api()->TileMap().value(node);
    QVERIFY(tile);
    QCOMPARE(Api()->SelectDevice(tile), 0);
    QTRY_VERIFY_WITH_TIMEOUT(Api()->CurrentDevice() && std::atomic_load(&Api()->CurrentDevice()->mouseData), 10000);
    QVERIFY(Idle());
    m_main->OpenMousePage(product);
    Tab()->ConfigMouse(std::atomic_load(&Api()->CurrentDevice()->mouseData).get());

    // A new loop macro, three times, recorded and saved.
    m_main->on_TabChangeEditkeysDefinition("rt", false);
    m_main->on_SetEditkeysDefinitionRunWay(1);
    QEditPage::Instance()->findChild<QLineEdit *>("RunModelNumbel")->setText("3");
    RecordAndSave(65);
    const QByteArray first = Saved("rt");
    QCOMPARE(first.size(), 16);
    QCOMPARE(first.left(8).toHex(), QByteArray("0000320480003204"));

    // Assigned to a button: the mouse takes exactly the saved records.
    LineKeyRecord row;
    row.sendAddress = 3;
    row.defaultCode = QStringLiteral("01010000");
    row.valueType = 1;
    row.reName = QStringLiteral("rt");
    auto *column = new QGradualChangeLine(Tab()->m_LStyleBoraWidget);
    column->SetColumnName(QStringLiteral("L"));
    column->SetLines({row});
    Tab()->m_CurrentKeyIndex = 3; // the button the drop went to
    Tab()->m_LStyleBoraWidget->on_LineValueDtdaChange();
    QVERIFY(Idle());
    QVERIFY2(Wire().contains(first), Wire().toHex().constData());
    // The button's code: macro, loop, three times, the first macro sent.
    QCOMPARE((m20 ? m20->KeyAt(3) : myx->KeyAssignments().value(3)).toHex(), QByteArray("03010300"));

    // Edited and saved again: after Yes the mouse has the new records.
    MessageAnswerer yes(true);
    m_main->on_TabChangeEditkeysDefinition("rt", true);
    QCOMPARE(QEditPage::Instance()->EventList()->Rows().size(), 4);
    QEditPage::Instance()->EventList()->ClearRows();
    RecordAndSave(66);
    QCOMPARE(yes.count(), 1);
    QVERIFY(yes.shown().contains(GetLangText(117)));
    QVERIFY(Idle());
    const QByteArray edited = Saved("rt");
    QCOMPARE(edited.left(8).toHex(), QByteArray("0000320580003205"));
    QVERIFY2(Wire().contains(edited), Wire().toHex().constData());
    QVERIFY(!Wire().contains(first));
}

void TestMacroDevices::recordedMacroReachesAKey()
{
    m_main = std::make_unique<MainWidget>();
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    m_main->on_TabChangeEditkeysDefinition("kb", false);
    m_main->on_SetEditkeysDefinitionRunWay(4);
    RecordAndSave(65);
    const QByteArray saved = Saved("kb");
    QCOMPARE(saved.size(), 16);

    auto dev = std::static_pointer_cast<emu::EmuKeyboard>(emu::MakeDevice(emu::Model::KeyboardWired));
    const uint32_t node = emu::Plug(dev);
    QList<DeviceRecord *> found;
    HID_API::OpenDevices(found);
    DeviceRecord *record = HidRecordOfKind(found, node, 0);
    QVERIFY(record);
    record->connectionState = StateWired;
    {
        ZR_2_0_KeyboradThread worker;
        worker.SetDevice(record);
        worker.m_DeviceId = record->deviceId;
        QVERIFY(m_dir->writeFile("Products/QK75/UserConfig/k.xml",
                                 "<?xml version=\"1.0\"?>\n<KeyBoardRoot><Keylevel_ID ID=\"0\">"
                                 "<KeyEdit KeyButtonName=\"Esc\" LeftValue=\"kb\" KeyValueTyp=\"Attrib_MacroValue\" Value=\"NULL\"/>"
                                 "</Keylevel_ID></KeyBoardRoot>\n"));
        QSignalSpy result(&worker, &ZR_2_0_KeyboradThread::ChangeResetKeyvalueRetul);
        worker.m_KeyFile = m_dir->filePath("Products/QK75/UserConfig/k.xml");
        worker.m_ChangedLayer = 0;
        worker.WriteKeys();
        QCOMPARE(result.last().at(0).toBool(), true);
        // Esc: macro, while held, once, the first macro sent; the records as saved.
        QCOMPARE(dev->KeyLayer(0).mid(8, 4).toHex(), QByteArray("03040100"));
        QVERIFY(dev->Macros().contains(saved));
        worker.StopListening();
    }
    HidCloseAll(found);
}

QTEST_MAIN(TestMacroDevices)
#include "tst_macro_devices.moc"
