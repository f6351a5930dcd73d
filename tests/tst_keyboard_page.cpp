// The keyboard page opened from its tile against the emulated keyboard, wired and through the
// receiver: tabs, layers, settings reaching the device's block, restore, and the faults while
// it opens; the configuration list file and its drops.
#include "tests/support/MessageAnswerer.h"
#include "app/CheckedSave.h"
#include "app/MainWidget.h"
#include "app/NestedWait.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "device/QKeyBoradMApMange.h"
#include "device/QKeyLableItem.h"
#include "keyboard/ConfigItemList.h"
#include "keyboard/QConfigBuildManage_Pro.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QConfigListItemBase.h"
#include "keyboard/QCreateUserConfigButton.h"
#include "keyboard/QKeyBoradConfigSet.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QLeftMuenTabWidget.h"
#include "keyboard/QMacro_Item.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "lighting/AudioMonitor.h"
#include "lighting/QAudioEffctBass.h"
#include "lighting/QLightConfigWIdget.h"
#include "tests/emu/EmuControl.h"
#include "tests/emu/EmuKeyboard.h"
#include "tests/support/QueuedSignalSpy.h"
#include "tests/support/TestProgramDir.h"
#include "widgets/QACombxBox.h"
#include "widgets/QACombxBoxView.h"
#include "widgets/QDottomMessgDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QStackedWidget>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <csignal>
#include <functional>
#include <memory>
#include <sys/resource.h>

namespace {
// The settings bytes of the sample layout.
enum Pos { Os = 8, Lock = 9, Sleep = 10, Debounce = 11, Rate = 13 };
} // namespace

class TestKeyboardPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void opensFromTile_data();
    void opensFromTile();
    void settingsReachDevice_data();
    void settingsReachDevice();
    void receiverAsleep();
    void changeMatrix_data();
    void changeMatrix();
    void showMatrix_data();
    void showMatrix();
    void positionsOutsideBlock_data();
    void positionsOutsideBlock();
    void restoreAndDrop();
    void missingFilesAndBadConfigName();
    void leftWhileOpening();
    void itemListFile_data();
    void itemListFile();
    void dropRecords_data();
    void dropRecords();
    void chooseConfiguration();
    void macroRenameNotStoredSaid();

private:
    void Open(emu::Model model);
    QKeyBoradMApMange *Store() const { return HID_API::instance()->CurrentDevice()->keyboardStore; }
    void SetBlockByte(int pos, uint8_t v);
    QByteArray StoreBlock() const;
    void Pick(QACombxBox *box, int index);

    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    std::shared_ptr<emu::EmuKeyboard> m_dev;
    uint32_t m_node = 0;
    QLStyleKeybordTabWidget *m_page = nullptr;
    QKeyBoradConfigSet *m_set = nullptr;
};

void TestKeyboardPage::init()
{
    m_dir.reset(new TestProgramDir);
    QVERIFY(m_dir->isValid());
}

void TestKeyboardPage::cleanup()
{
    m_main.reset();
    m_dev.reset();
    QVERIFY(emu::Errors().isEmpty());
    emu::Reset();
    m_dir.reset();
}

void TestKeyboardPage::Open(emu::Model model)
{
    m_dev = std::static_pointer_cast<emu::EmuKeyboard>(emu::MakeDevice(model));
    m_node = emu::Plug(m_dev);
    m_main.reset(new MainWidget);
    m_main->show();
    HID_API *api = HID_API::instance();
    QTRY_VERIFY_WITH_TIMEOUT(api->TileMap().value(m_node) && api->Manager()->Worker(m_node), 5000);
    QKeyLableItem *tile = api->TileMap().value(m_node);
    QTRY_VERIFY_WITH_TIMEOUT(!tile->ProductFolder().isEmpty(), 5000);
    tile->on_test();
    m_page = QLStyleKeybordTabWidget::instance();
    m_set = m_page->KeyBoradConfigSet;
    QCOMPARE(m_main->TabWidget()->currentIndex(), 2);
    QCOMPARE(m_page->BuiltProduct(), QStringLiteral("QK75"));
}

void TestKeyboardPage::SetBlockByte(int pos, uint8_t v)
{
    uint8_t *b = Store()->KeyBlockCopy(150);
    b[pos] = v;
    Store()->SetKeyBlock(b, 150, true);
}

QByteArray TestKeyboardPage::StoreBlock() const
{
    uint8_t *b = Store()->KeyBlockCopy(150);
    const QByteArray bytes(reinterpret_cast<const char *>(b), 150);
    free(b);
    return bytes;
}

void TestKeyboardPage::Pick(QACombxBox *box, int index)
{
    // What the box does for a user's pick: the index, then the signal.
    box->setCurrentIndex(index);
    Q_EMIT box->currentIndexChanged(index);
}

void TestKeyboardPage::opensFromTile_data()
{
    QTest::addColumn<int>("model");
    QTest::newRow("wired") << int(emu::Model::KeyboardWired);
    QTest::newRow("receiver") << int(emu::Model::KeyboardReceiver);
}

void TestKeyboardPage::opensFromTile()
{
    QFETCH(int, model);
    Open(emu::Model(model));
    QMultifunKeyBoard *board = m_page->KeyBoard();
    QCOMPARE(m_page->MainTabWidget->currentIndex(), 0);
    QCOMPARE(m_page->EffctAndKeyboardTab->currentIndex(), 1);
    QVERIFY(m_page->ButBora->isChecked());
    QCOMPARE(m_page->DispInfoLabel->text(), GetLangText(386));
    // tabs = the groups of the list, buttons "Button_n" with id n
    auto check = [this] {
        QCOMPARE(m_page->KeyBoradValueWdiget->count(), 4);
        const QList<QRadioButton *> buttons = m_page->Tab_BarWidget->findChildren<QRadioButton *>();
        QCOMPARE(buttons.size(), 4);
        for (int n = 0; n < 4; ++n)
            QCOMPARE(m_page->ConfigButtonGroup->id(m_page->Tab_BarWidget->findChild<QRadioButton *>(QStringLiteral("Button_%1").arg(n))), n);
        QCOMPARE(m_page->ConfigLists().size(), 4);
    };
    check();
    // the macro tab's button reloads its rows from the macro folder
    QVERIFY(m_dir->writeFile("Products/QK75/moidefConfig/Added.bin", "{}"));
    const int macros = m_page->ConfigLists().at(2)->count();
    m_page->Tab_BarWidget->findChild<QRadioButton *>(QStringLiteral("Button_2"))->click();
    QCOMPARE(m_page->KeyBoradValueWdiget->currentIndex(), 2);
    QCOMPARE(m_page->ConfigLists().at(2)->count(), macros + 1);
    // keys = layout keys, layers named by the "@_N" rule, assignments of Base.xml
    QVERIFY(board->KeyByName(QStringLiteral("Esc")));
    const QString layer = GetLangText(307);
    QCOMPARE(m_page->LevelComboItems(),
             QStringList({GetLangText(305) + layer, GetLangText(304) + layer, GetLangText(306) + layer}));
    QCOMPARE(board->LayerCount(), 3);
    QCOMPARE(m_page->LightPage()->CurrentEffectFlag(), int(Store()->KeyAtFlagPosition()));
    QCOMPARE(m_main->CommandTextTable().value(0x0d010000u), QStringLiteral("Fn2"));
    QCOMPARE(m_main->CommandTextTable().value(0x00040000u), QStringLiteral("A"));

    // Opening twice leaves no tabs, buttons or worker connections behind.
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    check();
    QHid_Work_Interface *worker = HID_API::instance()->Manager()->CurrentWorker();
    QVERIFY(worker);
    // The worker's request reaches the audio capture, which posts an idle request to the draw thread.
    AudioMonitor::instance()->on_SetAudioEffectModel(171, false, 30, 200, 100, 50, 0.0, 0.0);
    AudioMonitor::instance()->StopCapture();
    // Also sent by the capture thread while it runs.
    QueuedSignalSpy idle(AudioMonitor::instance(), &AudioMonitor::DrawKeyborad);
    Q_EMIT worker->updataaudioneffct();
    QCoreApplication::processEvents();
    QCOMPARE(idle.count(), 1);
    QCOMPARE(idle.at(0).at(2).toInt(), 0);
    // left: nothing stays connected, the main page stays where it is
    m_page->ExitPage();
    QCOMPARE(m_main->TabWidget()->currentIndex(), 2);
    QCOMPARE(m_page->KeyBoradValueWdiget->count(), 0);
    QVERIFY(!AudioMonitor::instance()->CurrentEffect()); // leaving stopped the audio
    AudioMonitor::instance()->on_SetAudioEffectModel(171, false, 30, 200, 100, 50, 0.0, 0.0);
    AudioMonitor::instance()->StopCapture();
    QCoreApplication::processEvents();
    const int drawn = idle.count(); // the capture may have drawn once before it stopped
    Q_EMIT worker->updataaudioneffct();
    QCoreApplication::processEvents();
    QCOMPARE(idle.count(), drawn);
    AudioMonitor::instance()->on_StopGrabEffct();

    // The system-settings button: wired sends page 5, the receiver none and hides the selector.
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    QSignalSpy pages(m_page, &QLStyleKeybordTabWidget::PageChange);
    m_page->ButSysSet->click();
    QCOMPARE(m_page->MainTabWidget->currentIndex(), 3);
    const bool wired = emu::Model(model) == emu::Model::KeyboardWired;
    QCOMPARE(pages.count(), wired ? 1 : 0);
    if (wired)
        QCOMPARE(pages.at(0).at(0).toInt(), 5);
    QVERIFY(m_page->LevaCombox->isHidden());
    QVERIFY(m_page->LightModelWidget->isHidden());
    // the audio light sub-page keeps its speaker message (no output found, whatever server runs here)
    AudioMonitor::instance()->Initialised = false;
    m_page->ButLight->click();
    m_page->ButAudionLight->click();
    QCOMPARE(m_page->DispInfoLabel->text(), GetLangText(851));
    m_page->ButBora->click();
    m_page->ButLight->click();
    QCOMPARE(m_page->DispInfoLabel->text(), GetLangText(851));
    QVERIFY(m_page->LightPage()->Masked());
    AudioMonitor::instance()->Initialised = true;
    m_page->ButBaseLight->click();
    m_page->ButAudionLight->click();
    QVERIFY(m_page->DispInfoLabel->text().isEmpty());
    QVERIFY(!m_page->LightPage()->Masked());
}

void TestKeyboardPage::settingsReachDevice_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("bytes"); // position, value pairs that must differ
    const struct
    {
        const char *name, *box;
        int index;
        QByteArray bytes;
    } rows[] = {
        {"sleep 5 min", "SleepCombox", 4, QByteArray("\x0a\x0a", 2)},
        {"250 Hz", "ReportRateCombox", 2, QByteArray("\x0d\x01", 2)},
        {"debounce on", "DebbounceCombox", 1, QByteArray("\x0b\x02", 2)},
        {"mac mode", "SystimeCombox", 0, QByteArray("\x08\x01", 2)},
        {"win lock", "WinLockCombox", 0, QByteArray("\x09\x01", 2)},
    };
    for (int m : {int(emu::Model::KeyboardWired), int(emu::Model::KeyboardReceiver)})
        for (const auto &r : rows)
            QTest::newRow(QByteArray(m == int(emu::Model::KeyboardWired) ? "wired " : "receiver ").append(r.name))
                << m << QString::fromLatin1(r.box) << r.index << r.bytes;
}

void TestKeyboardPage::settingsReachDevice()
{
    QFETCH(int, model);
    QFETCH(QString, box);
    QFETCH(int, index);
    QFETCH(QByteArray, bytes);
    Open(emu::Model(model));
    m_page->ButKeyFour->click();
    QVERIFY(m_set->isVisible());
    // a block whose settings bytes differ from every value chosen below
    QByteArray block = m_dev->Block();
    for (int p = Os; p <= Rate; ++p)
        block[p] = char(0x55);
    m_dev->SetBlock(block);
    uint8_t *copy = Store()->KeyBlockCopy(150);
    for (int p = Os; p <= Rate; ++p)
        copy[p] = 0x55;
    Store()->SetKeyBlock(copy, 150, true);
    emu::ClearTraffic();
    Pick(m_set->findChild<QACombxBox *>(box), index);
    QByteArray expected = block;
    for (int i = 0; i < bytes.size(); i += 2)
        expected[uchar(bytes.at(i))] = bytes.at(i + 1);
    if (box == QLatin1String("SystimeCombox"))
        expected[Lock] = 0; // Mac mode unlocks the Windows key
    QTRY_COMPARE_WITH_TIMEOUT(m_dev->Block().mid(0, 150).toHex(), expected.mid(0, 150).toHex(), 5000);
    if (emu::Model(model) == emu::Model::KeyboardWired) {
        const QVector<emu::Traffic> sent = emu::TrafficLog(m_node, emu::Traffic::SendFeature);
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.at(0).bytes.size(), 520);
        QCOMPARE(int(sent.at(0).bytes.at(1)), 4);
    }
}

void TestKeyboardPage::receiverAsleep()
{
    // a change while the receiver keyboard sleeps: nothing sent, the choice kept
    Open(emu::Model::KeyboardReceiver);
    m_page->ButKeyFour->click();
    const QByteArray device = m_dev->Block();
    HID_API::instance()->CurrentDevice()->connectionState = StateWirelessAsleep;
    m_dev->SetAsleep(true);
    emu::ClearTraffic();
    Pick(m_set->ReportRateCombox, 2);
    QTest::qWait(700);
    QCOMPARE(emu::TrafficLog(m_node, emu::Traffic::Write).size(), 0);
    QCOMPARE(m_dev->Block(), device);
    QCOMPARE(uint8_t(StoreBlock().at(Rate)), uint8_t(1));
    QCOMPARE(m_set->ReportRateCombox->currentIndex(), 2);
}

void TestKeyboardPage::changeMatrix_data()
{
    QTest::addColumn<bool>("special");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("bytes"); // position, value pairs after the change
    QTest::addColumn<int>("iniSleep");     // -1: not written
    QTest::addColumn<QString>("lockedBox"); // a box made unselectable
    auto row = [](const char *name, bool special, const char *box, int index, const QByteArray &bytes, int sleep,
                  const char *locked) {
        QTest::newRow(name) << special << QString::fromLatin1(box) << index << bytes << sleep << QString::fromLatin1(locked);
    };
    const int values[] = {1, 2, 3, 4, 10, 20, 30, 40, 0};
    for (int i = 0; i < 9; ++i)
        row(qPrintable(QStringLiteral("sleep %1").arg(i)), false, "SleepCombox", i,
            QByteArray(1, char(Sleep)) + QByteArray(1, char(values[i])), values[i], "");
    row("rate 1000", false, "ReportRateCombox", 0, QByteArray("\x0d\x03", 2), -1, "");
    row("rate 500", false, "ReportRateCombox", 1, QByteArray("\x0d\x02", 2), -1, "");
    row("mac", false, "SystimeCombox", 0, QByteArray("\x08\x01\x09\x00", 4), -1, "WinLockCombox");
    row("windows", false, "SystimeCombox", 1, QByteArray("\x08\x00\x09\x07", 4), -1, "");
    row("lock", false, "WinLockCombox", 0, QByteArray("\x09\x01", 2), -1, "");
    row("unlock", false, "WinLockCombox", 1, QByteArray("\x09\x00", 2), -1, "");
    row("debounce on", false, "DebbounceCombox", 0, QByteArray("\x0b\x00\x0c\x07", 4), -1, "");
    row("debounce off", false, "DebbounceCombox", 1, QByteArray("\x0b\x02\x0c\x07", 4), -1, "");
    row("two-byte off", true, "DebbounceCombox", 1, QByteArray("\x0b\x03\x0c\x0a", 4), -1, "DebbounceCombox_2");
    row("two-byte fast", true, "DebbounceCombox_2", 0, QByteArray("\x0b\x01\x0c\x03", 4), -1, "");
    row("two-byte fastest", true, "DebbounceCombox_2", 1, QByteArray("\x0b\x00\x0c\x00", 4), -1, "");
}

void TestKeyboardPage::changeMatrix()
{
    QFETCH(bool, special);
    QFETCH(QString, box);
    QFETCH(int, index);
    QFETCH(QByteArray, bytes);
    QFETCH(int, iniSleep);
    QFETCH(QString, lockedBox);
    Open(emu::Model::KeyboardWired);
    if (special)
        m_set->TwoByteDebounceProduct = HID_API::instance()->CurrentDevice()->name;
    for (int p = Os; p <= Rate; ++p)
        SetBlockByte(p, 7);
    m_set->RefreshPage();
    QSettings(m_dir->filePath("Products/QK75/QK75_data.ini"), QSettings::IniFormat).remove("user");
    QSignalSpy sent(m_set, &QKeyBoradConfigSet::KeyBoradConfigPramChange);
    if (special && box == QLatin1String("DebbounceCombox_2"))
        m_set->DebbounceCombox->setCurrentIndex(0);
    Pick(m_set->findChild<QACombxBox *>(box), index);
    QCOMPARE(sent.count(), 1);
    QByteArray expected(150, 0);
    const QByteArray block = StoreBlock();
    for (int p = Os; p <= Rate; ++p)
        expected[p] = 7;
    for (int i = 0; i < bytes.size(); i += 2)
        expected[uchar(bytes.at(i))] = bytes.at(i + 1);
    QCOMPARE(block.mid(Os, 6).toHex(), expected.mid(Os, 6).toHex());
    const QVariant stored = QSettings(m_dir->filePath("Products/QK75/QK75_data.ini"), QSettings::IniFormat).value("user/KeybordAudioSleep");
    QCOMPARE(stored.isValid() ? stored.toInt() : -1, iniSleep);
    if (!lockedBox.isEmpty())
        QVERIFY(!m_set->findChild<QACombxBox *>(lockedBox)->CanUnfold);
    // and shown again from the store
    m_set->RefreshPage();
    QCOMPARE(m_set->findChild<QACombxBox *>(box)->currentIndex(), index);
}

void TestKeyboardPage::showMatrix_data()
{
    QTest::addColumn<bool>("special");
    QTest::addColumn<QByteArray>("block");  // bytes 8..13
    QTest::addColumn<QVector<int>>("shown"); // sleep, rate, debounce, debounce 2, os, lock indexes
    QTest::addColumn<QVector<int>>("open");  // the same boxes' selectable flags
    QTest::newRow("windows unlocked") << false << QByteArray::fromHex("00000a000002") << QVector<int>{4, 1, 0, 0, 1, 1}
                                      << QVector<int>{1, 1, 1, 0, 1, 1};
    QTest::newRow("mac locked") << false << QByteArray::fromHex("0101020a0001") << QVector<int>{1, 2, 1, 0, 0, 0}
                                << QVector<int>{1, 1, 1, 0, 1, 0};
    QTest::newRow("odd values") << false << QByteArray::fromHex("0000070000ff") << QVector<int>{1, 0, 0, 0, 1, 1}
                                << QVector<int>{1, 1, 1, 0, 1, 1};
    QTest::newRow("two-byte 3,10") << true << QByteArray::fromHex("000000030a03") << QVector<int>{8, 0, 1, 0, 1, 1}
                                   << QVector<int>{1, 1, 1, 0, 1, 1};
    QTest::newRow("two-byte 1,3") << true << QByteArray::fromHex("000028010303") << QVector<int>{7, 0, 0, 0, 1, 1}
                                  << QVector<int>{1, 1, 1, 1, 1, 1};
    QTest::newRow("two-byte 0,0") << true << QByteArray::fromHex("00001e000003") << QVector<int>{6, 0, 0, 1, 1, 1}
                                  << QVector<int>{1, 1, 1, 1, 1, 1};
}

void TestKeyboardPage::showMatrix()
{
    QFETCH(bool, special);
    QFETCH(QByteArray, block);
    QFETCH(QVector<int>, shown);
    QFETCH(QVector<int>, open);
    Open(emu::Model::KeyboardWired);
    if (special)
        m_set->TwoByteDebounceProduct = HID_API::instance()->CurrentDevice()->name;
    for (int i = 0; i < block.size(); ++i)
        SetBlockByte(Os + i, uint8_t(block.at(i)));
    // a language change empties the two-item boxes; the next show puts the block back
    QSignalSpy sent(m_set, &QKeyBoradConfigSet::KeyBoradConfigPramChange);
    m_set->on_LangualChange();
    QVERIFY(m_set->SystimeCombox->text().isEmpty());
    QCOMPARE(m_set->SleepCombox->currentIndex(), 0);
    m_page->ButKeyFour->click();
    const QList<QACombxBox *> boxes{m_set->SleepCombox, m_set->ReportRateCombox, m_set->DebbounceCombox,
                                    m_set->DebbounceCombox_2, m_set->SystimeCombox, m_set->WinLockCombox};
    for (int i = 0; i < boxes.size(); ++i) {
        if (i == 3 && !special) {
            QVERIFY(boxes.at(i)->isHidden());
            continue;
        }
        QCOMPARE(boxes.at(i)->currentIndex(), shown.at(i));
        QCOMPARE(int(boxes.at(i)->CanUnfold), open.at(i));
    }
    QCOMPARE(m_set->SystimeCombox->text(), m_set->SystimeCombox->currentText());
    QCOMPARE(m_set->findChild<QLabel *>("DebbounceInfoLabel")->text(), GetLangText(special ? 347 : 345));
    QCOMPARE(sent.count(), 0); // showing writes nothing
}

void TestKeyboardPage::positionsOutsideBlock_data()
{
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("special");
    for (const char *v : {"-1", "0", "150"})
        QTest::newRow(qPrintable(QStringLiteral("shake %1").arg(v))) << "shake" << v << "DebbounceCombox" << false;
    QTest::newRow("two-byte shake 149") << "shake" << "149" << "DebbounceCombox" << true;
    QTest::newRow("ios 40000") << "ios" << "40000" << "SystimeCombox" << false;
    QTest::newRow("RoR 0") << "RoR" << "0" << "ReportRateCombox" << false;
    QTest::newRow("delayed 150") << "delayed" << "150" << "SleepCombox" << false;
    QTest::newRow("LuckWin -1") << "LuckWin" << "-1" << "WinLockCombox" << false;
}

void TestKeyboardPage::positionsOutsideBlock()
{
    QFETCH(QString, attribute);
    QFETCH(QString, value);
    QFETCH(QString, box);
    QFETCH(bool, special);
    const QString layout = QStringLiteral("Products/QK75/QK75_KeyBoed.xml");
    QString text = QString::fromUtf8(m_dir->readFile(layout));
    text.replace(QRegularExpression(QStringLiteral(" %1=\"[^\"]*\"").arg(attribute)),
                 QStringLiteral(" %1=\"%2\"").arg(attribute, value));
    QVERIFY(m_dir->writeFile(layout, text.toUtf8()));
    Open(emu::Model::KeyboardWired);
    if (special)
        m_set->TwoByteDebounceProduct = HID_API::instance()->CurrentDevice()->name;
    m_page->ButKeyFour->click();
    QACombxBox *b = m_set->findChild<QACombxBox *>(box);
    QVERIFY(!b->CanUnfold);
    const QByteArray before = StoreBlock();
    QSignalSpy sent(m_set, &QKeyBoradConfigSet::KeyBoradConfigPramChange);
    Pick(b, 1);
    Pick(b, 0);
    QCOMPARE(sent.count(), 0);
    QCOMPARE(StoreBlock(), before);
}

void TestKeyboardPage::restoreAndDrop()
{
    Open(emu::Model::KeyboardReceiver); // the receiver keyboard is the one told to reset itself
    // a row of the key tab dropped on a key: the configuration saved, the layer on the keyboard
    QConfigList *keys = m_page->ConfigLists().at(0);
    QWidget *a = keys->Row(keys->FindItem(QStringLiteral("A")));
    QVERIFY(a);
    QMultifunKeyBoard *board = m_page->KeyBoard();
    QWidget *key = board->KeyByName(QStringLiteral("Q"));
    const QPoint at = key->mapToGlobal(key->rect().center());
    QSignalSpy sent(m_page, &QLStyleKeybordTabWidget::SetKeyboardKeys);
    emu::ClearTraffic();
    Q_EMIT keys->DragLeftMove(at);
    board->on_MouseDrawMove(at);
    QTest::mousePress(a, Qt::LeftButton);
    QTest::mouseRelease(a, Qt::LeftButton);
    QTRY_COMPARE(sent.count(), 1);
    {
        // stored as the keyboard's key table takes it: type byte 0, the usage code in byte 1
        KeyProfileLayers saved = QConfigBuildManage_Pro().ReadKeyConfig(m_dir->filePath("Products/QK75/UserConfig/Base.xml"));
        const _KeyValueInfo *stored = saved.value(0) ? saved.value(0)->value(QStringLiteral("Q")) : nullptr;
        QVERIFY(stored && stored->type == 8);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(stored->value), 4), QByteArray::fromHex("00040000"));
        FreeKeyProfileLayers(saved);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!emu::TrafficLog(m_node, emu::Traffic::Write).isEmpty() ||
                                 !emu::TrafficLog(m_node, emu::Traffic::SendFeature).isEmpty(),
                             5000);
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(m_dir->filePath("Products/QK75/UserConfig/.TempBase.xml")), 5000);

    // a macro row dropped on a key is stored by the macro's name; a changed macro asks to send
    QConfigList *macros = m_page->ConfigLists().at(2);
    QWidget *m1 = macros->Row(macros->FindItem(QStringLiteral("Macro1")));
    QVERIFY(m1);
    QWidget *w = board->KeyByName(QStringLiteral("W"));
    const QPoint wAt = w->mapToGlobal(w->rect().center());
    board->on_MouseDrawMove(wAt);
    QTest::mousePress(m1, Qt::LeftButton);
    QTest::mouseRelease(m1, Qt::LeftButton, {}, QPoint(-5, -5)); // let go over the keyboard
    QTRY_COMPARE(sent.count(), 2);
    {
        KeyProfileLayers saved = QConfigBuildManage_Pro().ReadKeyConfig(m_dir->filePath("Products/QK75/UserConfig/Base.xml"));
        const _KeyValueInfo *stored = saved.value(0) ? saved.value(0)->value(QStringLiteral("W")) : nullptr;
        QVERIFY(stored && stored->type == 3 && stored->LeftValue == QLatin1String("Macro1"));
        FreeKeyProfileLayers(saved);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(m_dir->filePath("Products/QK75/UserConfig/.TempBase.xml")), 5000);
    {
        MessageAnswerer yes(true);
        m_page->on_MacroFileChangge(QStringLiteral("Macro1"));
        QCOMPARE(yes.count(), 1);
    }
    QCOMPARE(sent.count(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(m_dir->filePath("Products/QK75/UserConfig/.TempBase.xml")), 5000);
    {
        // the page emptied while the question is shown (its exit would follow the question):
        // nothing saved or sent
        MessageAnswerer yes(true, [this] { m_page->ExitPage(); m_main->SetPageIndex(); });
        m_page->on_MacroFileChangge(QStringLiteral("Macro1"));
    }
    QCOMPARE(sent.count(), 3);

    // no "default/UserConfig": a drop shows text 388, the key stays as it was, nothing is sent
    std::unique_ptr<QSettings>(m_main->OpenProductDataIni())->remove(QStringLiteral("default/UserConfig"));
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    {
        keys = m_page->ConfigLists().at(0);
        QWidget *b = keys->Row(keys->FindItem(QStringLiteral("B")));
        QMultifunKeyButton *e = board->KeyByName(QStringLiteral("E"));
        QVERIFY(b && e && !e->Record);
        const QPoint eAt = e->mapToGlobal(e->rect().center());
        MessageAnswerer ok(true);
        Q_EMIT keys->DragLeftMove(eAt);
        board->on_MouseDrawMove(eAt);
        QTest::mousePress(b, Qt::LeftButton);
        QTest::mouseRelease(b, Qt::LeftButton);
        QCOMPARE(ok.count(), 1);
        QVERIFY(ok.shown().contains(GetLangText(388)));
        QVERIFY(!e->Record && !board->LayerKeyInfo(0)->contains(QStringLiteral("E")));
    }
    QCOMPARE(sent.count(), 3);
    std::unique_ptr<QSettings>(m_main->OpenProductDataIni())->setValue(QStringLiteral("default/UserConfig"), QStringLiteral("Base"));
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    // a full disk: the drop says so, names the cause, and the configuration keeps what it held
    {
        const QByteArray before = m_dir->readFile("Products/QK75/UserConfig/Base.xml");
        keys = m_page->ConfigLists().at(0);
        QWidget *b = keys->Row(keys->FindItem(QStringLiteral("B")));
        const QPoint eAt = board->KeyByName(QStringLiteral("E"))->mapToGlobal(board->KeyByName(QStringLiteral("E"))->rect().center());
        CheckedSave::SetFaultForTest([](const QString &path) { return path.endsWith("/Base.xml") ? ENOSPC : 0; });
        MessageAnswerer ok(true);
        Q_EMIT keys->DragLeftMove(eAt);
        board->on_MouseDrawMove(eAt);
        QTest::mousePress(b, Qt::LeftButton);
        QTest::mouseRelease(b, Qt::LeftButton);
        CheckedSave::SetFaultForTest(nullptr);
        QVERIFY(ok.shown().contains(GetLangText(388)) && ok.shown().contains(GetLangText(1007)));
        QCOMPARE(m_dir->readFile("Products/QK75/UserConfig/Base.xml"), before);
    }
    QCOMPARE(sent.count(), 3);

    // restore into a file that cannot be written: text 388, nothing sent or changed, the page stays
    const int resets = m_dev->FactoryResets();
    QVERIFY(QDir().mkpath(m_dir->filePath("Products/QK75/UserConfig/Locked.xml")));
    m_page->SetConfigName(QStringLiteral("Locked"));
    {
        QSignalSpy restored(m_page, &QLStyleKeybordTabWidget::ResetKeyboradConfig);
        MessageAnswerer yes(true);
        m_page->ButResetConfing->click();
        QCOMPARE(yes.count(), 2);
        QVERIFY(!GetLangText(388).isEmpty() && yes.shown().contains(GetLangText(388)));
        QCOMPARE(restored.count(), 0);
    }
    QCOMPARE(m_main->TabWidget()->currentIndex(), 2);
    QCOMPARE(QSettings(m_dir->filePath("Products/QK75/QK75_data.ini"), QSettings::IniFormat).value("user/KeybordAudioSleep").toInt(), 10);
    m_page->SetConfigName(QStringLiteral("Base"));

    // restore: Cancel changes nothing; Yes runs the factory reset and shows the device list
    {
        MessageAnswerer cancel(false);
        m_page->ButResetConfing->click();
        QCOMPARE(cancel.count(), 1);
    }
    QCOMPARE(m_main->TabWidget()->currentIndex(), 2);
    QCOMPARE(m_page->BuiltProduct(), QStringLiteral("QK75"));
    {
        MessageAnswerer yes(true);
        m_page->ButResetConfing->click();
    }
    QCOMPARE(m_main->TabWidget()->currentIndex(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(m_dev->FactoryResets(), resets + 1, 5000);
    QCOMPARE(QSettings(m_dir->filePath("Products/QK75/QK75_data.ini"), QSettings::IniFormat).value("user/KeybordAudioSleep").toInt(), 2);

    // the page emptied while the restore question is shown: the question stops there
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    const int now = m_dev->FactoryResets();
    {
        MessageAnswerer yes(true, [this] { m_page->ExitPage(); m_main->SetPageIndex(); });
        m_page->ButResetConfing->click();
    }
    QCOMPARE(m_main->TabWidget()->currentIndex(), 0);
    QTest::qWait(300);
    QCOMPARE(m_dev->FactoryResets(), now);
}

void TestKeyboardPage::missingFilesAndBadConfigName()
{
    QVERIFY(m_dir->removeFile("Products/QK75/ConfigItemList.xml"));
    QVERIFY(m_dir->removeFile("Products/QK75/QK75_KeyBoed.xml"));
    QVERIFY(m_dir->removeFile("Products/QK75/UserConfig/Base.xml"));
    Open(emu::Model::KeyboardWired);
    QCOMPARE(m_page->KeyBoradValueWdiget->count(), 0);
    QVERIFY(m_page->LevelComboItems().isEmpty());
    QCOMPARE(m_page->MainTabWidget->currentIndex(), 0);
    // "default/UserConfig" missing, empty or leaving its folder: a message, nothing written or sent
    for (const QString &name : {QString(), QStringLiteral("../x")}) {
        m_page->SetConfigName(name);
        QSignalSpy sent(m_page, &QLStyleKeybordTabWidget::SetKeyboardKeys);
        MessageAnswerer answer(true);
        m_page->ON_SAEVE(true);
        QCOMPARE(answer.count(), 1);
        QCOMPARE(sent.count(), 0);
        QVERIFY(!QFile::exists(m_dir->filePath("Products/QK75/x.xml")));
        QVERIFY(!QFile::exists(m_dir->filePath("Products/QK75/UserConfig/.xml")));
    }
}

void TestKeyboardPage::leftWhileOpening()
{
    // the keyboard unplugged during the 100 ms wait: the device list, no half-built page
    m_dev = std::static_pointer_cast<emu::EmuKeyboard>(emu::MakeDevice(emu::Model::KeyboardWired));
    m_node = emu::Plug(m_dev);
    m_main.reset(new MainWidget);
    HID_API *api = HID_API::instance();
    QTRY_VERIFY_WITH_TIMEOUT(api->Manager()->Worker(m_node), 5000);
    api->SetCurrentDeviceById(m_node);
    api->Manager()->SetCurrentDeviceId(m_node);
    m_page = QLStyleKeybordTabWidget::instance();
    QTimer::singleShot(30, [this] { emu::Unplug(m_node); });
    QSignalSpy pages(m_page, &QLStyleKeybordTabWidget::PageChange);
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    QTRY_COMPARE_WITH_TIMEOUT(m_main->TabWidget()->currentIndex(), 0, 5000);
    QCOMPARE(m_page->KeyBoradValueWdiget->count(), 0);
    QCOMPARE(pages.count(), 0);
    QVERIFY(m_page->BuiltProduct().isEmpty());
}

void TestKeyboardPage::itemListFile_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("rows"); // per key in the map: kinds as digits
    QTest::newRow("wrong root") << QByteArray("<Other><Tab Text=\"a\" Hint=\"b\"/></Other>") << QStringList() << QStringList();
    QTest::newRow("not xml") << QByteArray("<ItemConfig><Tab") << QStringList() << QStringList();
    QTest::newRow("hide, empty, none")
        << QByteArray("<ItemConfig><Tab Text=\"a\" Hint=\"b\"><EXPANDE Text=\"HIDE\"><childItem ItemTyp=\"COMMANDE_ITEM\"/>"
                      "<childItem ItemTyp=\"COMMANDE_ITEM\"/><childItem ItemTyp=\"COMMANDE_ITEM\"/></EXPANDE>"
                      "<EXPANDE Text=\"\"><childItem ItemTyp=\"COMMANDE_ITEM\"/></EXPANDE></Tab>"
                      "<Tab Text=\"c\" Hint=\"d\"/></ItemConfig>")
        << QStringList{"a|b", "c|d"} << QStringList{"1110"};
    QTest::newRow("same key twice")
        << QByteArray("<ItemConfig><Tab Text=\"a\" Hint=\"b\"><EXPANDE Text=\"x\"/></Tab>"
                      "<Tab Text=\"a\" Hint=\"b\"><EXPANDE Text=\"HIDE\"><childItem ItemTyp=\"COMMANDE_ITEM\"/></EXPANDE></Tab></ItemConfig>")
        << QStringList{"a|b", "a|b"} << QStringList{"1"};
    QTest::newRow("macro files by exact suffix")
        << QByteArray("<ItemConfig><Tab Text=\"m\" Hint=\"h\" Bar=\"Macro\"><childItem ItemTyp=\"CREAT_MACROBUTTON_ITEM\" Lift_text=\"New\"/></Tab>"
                      "<Tab Text=\"u\" Hint=\"h\" Bar=\"UserConfig\"><childItem ItemTyp=\"OTHER\"/></Tab></ItemConfig>")
        << QStringList{"m|h", "u|h"} << QStringList{"533"};
}

void TestKeyboardPage::itemListFile()
{
    QFETCH(QByteArray, xml);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, rows);
    MainWidget main;
    main.OpenKeyboardPage(QStringLiteral("QK75"));
    QVERIFY(m_dir->writeFile("Products/QK75/moidefConfig/Two.dots.bin", "{}"));
    QVERIFY(m_dir->writeFile("Products/QK75/moidefConfig/Upper.BIN", "{}"));
    QVERIFY(m_dir->writeFile("Products/QK75/list.xml", xml));
    QVector<QString> got;
    ConfigItemList::ItemMap map = ConfigItemList::Load(m_dir->filePath("Products/QK75/list.xml"), got);
    QCOMPARE(QStringList(got.toList()), keys);
    QStringList kinds;
    for (const auto &items : map) {
        QString k;
        for (const ConfigItem *i : items)
            k += QString::number(i->kind);
        kinds << k;
    }
    QCOMPARE(kinds, rows);
    if (map.contains(QStringLiteral("m|h"))) {
        QStringList names;
        for (const ConfigItem *i : map.value(QStringLiteral("m|h")))
            names << i->left;
        names.sort();
        QCOMPARE(names, QStringList({"Macro1.bin", "New", "Two.dots.bin"}));
    }
    ConfigItemList::Free(map);
    // a file whose keys and tabs disagree gives the page no tabs
    QVERIFY(m_dir->writeFile("Products/QK75/ConfigItemList.xml", xml));
    main.OpenKeyboardPage(QStringLiteral("QK75"));
    QCOMPARE(QLStyleKeybordTabWidget::instance()->KeyBoradValueWdiget->count(), keys.size() == rows.size() ? keys.size() : 0);
}

void TestKeyboardPage::dropRecords_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("value"); // empty: no record
    QTest::newRow("two digits") << 1 << "0x1E" << "A" << QByteArray("\x1e", 1);
    QTest::newRow("eight digits") << 1 << "0X0d010000" << "Fn2" << QByteArray("\x0d\x01\x00\x00", 4);
    QTest::newRow("bare two") << 1 << "0d" << "Fn" << QByteArray("\x0d", 1);
    QTest::newRow("four digits") << 1 << "0x1E2F" << "A" << QByteArray();
    QTest::newRow("not hex") << 1 << "zz" << "A" << QByteArray();
    QTest::newRow("header") << 0 << "0x04" << "A" << QByteArray();
    QTest::newRow("macro") << 3 << "0x00" << "Macro1" << QByteArray();
}

void TestKeyboardPage::dropRecords()
{
    QFETCH(int, kind);
    QFETCH(QString, code);
    QFETCH(QString, text);
    QFETCH(QByteArray, value);
    std::unique_ptr<_KeyValueInfo> r(QConfigList::MakeDropRecord(uint8_t(kind), text, code, 12));
    if (kind == 3) {
        QVERIFY(r);
        QCOMPARE(r->type, 3);
        QCOMPARE(r->LeftValue, text);
        return;
    }
    QCOMPARE(bool(r), !value.isEmpty());
    if (!r)
        return;
    QCOMPARE(r->type, 8);
    QCOMPARE(r->Lang, int16_t(12));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(r->value), r->valueLength), value);
}

void TestKeyboardPage::chooseConfiguration()
{
    Open(emu::Model::KeyboardWired);
    QMultifunKeyBoard *board = m_page->KeyBoard();
    QConfigList *profiles = m_page->ConfigLists().at(3);
    // "New configuration" names a copy of the keys shown; it then gets keys of its own
    QTimer::singleShot(0, [] {
        if (QWidget *popup = QApplication::activeModalWidget()) {
            auto *line = popup->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
            line->setText(QStringLiteral("Kb1"));
            Q_EMIT line->editingFinished();
        }
    });
    QTest::mousePress(profiles->findChild<QCreateUserConfigButton *>(), Qt::LeftButton, {}, QPoint(40, 10));
    const QString kb1 = m_dir->filePath("Products/QK75/UserConfig/Kb1.xml");
    KeyProfileLayers layers = QConfigBuildManage_Pro().ReadKeyConfig(kb1);
    QCOMPARE(layers.size(), 3);
    for (const auto &[layer, key, code] : {std::make_tuple(0, "Q", "0a0b0c0d"), std::make_tuple(2, "W", "01020304")}) {
        auto *info = new _KeyValueInfo;
        info->type = 8;
        info->KeyButtonName = QLatin1String(key);
        info->LeftValue = QStringLiteral("x");
        info->valueLength = 4;
        memcpy(info->value, QByteArray::fromHex(code).constData(), 4);
        delete layers.at(layer)->take(info->KeyButtonName);
        layers.at(layer)->insert(info->KeyButtonName, info);
    }
    QVERIFY(QConfigBuildManage_Pro().WriteKeyConfig(kb1, layers));
    FreeKeyProfileLayers(layers);

    // a click on its row: stored, shown, loaded, and every layer on the keyboard
    const auto ini = [this] {
        return QSettings(m_dir->filePath("Products/QK75/QK75_data.ini"), QSettings::IniFormat).value("default/UserConfig");
    };
    const auto table = [this, board](int layer, const char *key) {
        return m_dev->KeyLayer(layer).mid(board->KeyPosByName(QLatin1String(key)), 4).toHex();
    };
    QWidget *row = profiles->Row(profiles->FindItem(QStringLiteral("Kb1")));
    QVERIFY(row);
    QTest::mousePress(row, Qt::LeftButton, {}, QPoint(40, 10));
    QCOMPARE(ini().toString(), QStringLiteral("Base")); // chosen only once the keyboard holds it
    QVERIFY(NestedWait::Open()); // a wait until then: page leaves and the program's end follow it
    QTRY_COMPARE_WITH_TIMEOUT(ini().toString(), QStringLiteral("Kb1"), 10000);
    QVERIFY(!NestedWait::Open());
    QCOMPARE(table(2, "W"), QByteArray("01020304"));
    QCOMPARE(table(0, "Q"), QByteArray("0a0b0c0d"));
    QCOMPARE(m_page->ConfigenameLabel->text(), GetLangText(776).arg("Kb1"));
    QVERIFY(m_page->ConfigenameLabel->isVisible());
    QCOMPARE(board->KeyByName(QStringLiteral("Q"))->Record->LeftValue, QStringLiteral("x"));
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(m_dir->filePath("Products/QK75/UserConfig/.TempBase.xml")), 5000);
    m_main->OpenKeyboardPage(QStringLiteral("QK75")); // the next opening shows what the keyboard holds
    QCOMPARE(m_page->ConfigenameLabel->text(), GetLangText(776).arg("Kb1"));
    QCOMPARE(board->KeyByName(QStringLiteral("Q"))->Record->LeftValue, QStringLiteral("x"));
    profiles = m_page->ConfigLists().at(3);

    // Base back the same way; a file that is no keyboard configuration changes nothing and says so
    QTest::mousePress(profiles->Row(profiles->FindItem(QStringLiteral("Base"))), Qt::LeftButton, {}, QPoint(40, 10));
    QTRY_COMPARE_WITH_TIMEOUT(ini().toString(), QStringLiteral("Base"), 10000);
    QVERIFY(table(2, "W") != QByteArray("01020304") && table(0, "Q") != QByteArray("0a0b0c0d"));

    // a layer refused: keyboard, page, name and data file back on Base, the chosen file as it was,
    // and the cause said (no answer), not the wireless interference
    int answers = 0;
    QMetaObject::Connection flip = connect(HID_API::instance()->Manager(), &QHid_Threads_Manage::mChangeResetKeyvalueRetul, [&](bool) {
        emu::Knobs k;
        k.failFeatures = ++answers == 1;
        m_dev->setKnobs(k);
    });
    const QByteArray kb1Bytes = m_dir->readFile("Products/QK75/UserConfig/Kb1.xml");
    MessageAnswerer refused(true);
    QSignalSpy tips(HID_API::instance()->Manager(), &QHid_Threads_Manage::ErrorPop);
    QTest::mousePress(profiles->Row(profiles->FindItem(QStringLiteral("Kb1"))), Qt::LeftButton, {}, QPoint(40, 10));
    QTRY_COMPARE_WITH_TIMEOUT(answers, 4, 15000); // layer 0 taken, layer 1 refused, both put back
    disconnect(flip);
    QVERIFY(HID_API::instance()->Manager()->WaitIdle(5000));
    for (const QList<QVariant> &tip : qAsConst(tips)) // the refusal's cause is its one message
        QVERIFY(tip.value(1).toInt() != 6);
    QVERIFY(table(0, "Q") != QByteArray("0a0b0c0d"));
    QCOMPARE(ini().toString(), QStringLiteral("Base"));
    QCOMPARE(m_page->ConfigenameLabel->text(), GetLangText(776).arg("Base"));
    QCOMPARE(m_dir->readFile("Products/QK75/UserConfig/Kb1.xml"), kb1Bytes);
    QTRY_VERIFY(refused.shown().contains(GetLangText(772)) && !refused.shown().contains(GetLangText(773)));

    // a macro whose file is gone refuses the whole configuration, naming key and macro; one that
    // does not read is named by the keyboard's refusal; a macro keys play is not deleted
    QVERIFY(m_dir->writeFile("Products/QK75/UserConfig/Gone.xml", "<KeyBoardRoot><Keylevel_ID ID=\"0\"><KeyEdit KeyButtonName=\"Q\" "
                                                                  "LeftValue=\"Nope\" KeyValueTyp=\"Attrib_MacroValue\"/></Keylevel_ID></KeyBoardRoot>"));
    profiles->AddItem(7, QStringLiteral("Gone"), QString(), QStringLiteral("0x00"));
    QTest::mousePress(profiles->Row(profiles->FindItem(QStringLiteral("Gone"))), Qt::LeftButton, {}, QPoint(40, 10));
    QTRY_VERIFY(refused.shown().contains(GetLangText(770).arg("Q", "Nope")));
    QVERIFY(m_dir->writeFile("Products/QK75/moidefConfig/Nope.bin", "{}"));
    QTest::mousePress(profiles->Row(profiles->FindItem(QStringLiteral("Gone"))), Qt::LeftButton, {}, QPoint(40, 10));
    QTRY_VERIFY_WITH_TIMEOUT(refused.shown().contains(GetLangText(771).arg("Nope")), 10000);
    const int seen = refused.count();
    {
        NestedWait::Scope wait; // asked twice in one wait: refused once
        m_page->ConfigLists().at(2)->on_deleteItem(QStringLiteral("Macro1"));
        m_page->ConfigLists().at(2)->on_deleteItem(QStringLiteral("Macro1"));
    }
    QTRY_VERIFY(refused.shown().contains(GetLangText(774).arg("Macro1", "Base, Kb1")));
    QTest::qWait(200);
    QCOMPARE(refused.count(), seen + 1);
    QVERIFY(QFile::exists(m_dir->filePath("Products/QK75/moidefConfig/Macro1.bin")));
    QTRY_COMPARE_WITH_TIMEOUT(ini().toString(), QStringLiteral("Base"), 10000);
    QVERIFY(m_dir->writeFile("Products/QK75/UserConfig/Odd.xml", "<Backinfos/>"));
    profiles->AddItem(7, QStringLiteral("Odd"), QString(), QStringLiteral("0x00"));
    MessageAnswerer ok(true);
    QTest::mousePress(profiles->Row(profiles->FindItem(QStringLiteral("Odd"))), Qt::LeftButton, {}, QPoint(40, 10));
    QVERIFY(ok.shown().contains(GetLangText(396)));
    QCOMPARE(m_dir->readFile("Products/QK75/UserConfig/Odd.xml"), QByteArray("<Backinfos/>"));
    QCOMPARE(ini().toString(), QStringLiteral("Base"));
    QCOMPARE(m_page->ConfigenameLabel->text(), GetLangText(776).arg("Base"));

    // without a usable stored name any configuration can be chosen, and is stored
    QSettings(m_dir->filePath("Products/QK75/QK75_data.ini"), QSettings::IniFormat).setValue("default/UserConfig", "../x");
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    profiles = m_page->ConfigLists().at(3);
    QTest::mousePress(profiles->Row(profiles->FindItem(QStringLiteral("Kb1"))), Qt::LeftButton, {}, QPoint(40, 10));
    QTRY_COMPARE_WITH_TIMEOUT(ini().toString(), QStringLiteral("Kb1"), 10000);
    // left while a layer is on its way: once the keyboard holds the whole choice, and nothing said
    MessageAnswerer quiet(true);
    QTest::mousePress(profiles->Row(profiles->FindItem(QStringLiteral("Base"))), Qt::LeftButton, {}, QPoint(40, 10));
    m_page->ButExit_on_clicked();
    QTRY_VERIFY_WITH_TIMEOUT(m_page->BuiltProduct().isEmpty() && ini().toString() == QLatin1String("Base"), 10000);
    QVERIFY(HID_API::instance()->Manager()->WaitIdle(5000) && quiet.shown().isEmpty());
}

void TestKeyboardPage::macroRenameNotStoredSaid()
{
    // a macro that cannot be stored under its new name (no file may grow, not even for root)
    // keeps its name, and the page says so, naming it
    Open(emu::Model::KeyboardWired);
    QConfigList *macros = m_page->ConfigLists().at(2);
    auto *row = qobject_cast<QMacro_Item *>(macros->Row(macros->FindItem(QStringLiteral("Macro1"))));
    QVERIFY(row);
    QTimer typist;
    connect(&typist, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("QInputDialog") && w->isVisible()) {
                typist.stop();
                w->findChild<QLineEdit *>(QStringLiteral("InputEdit"))->setText(QStringLiteral("Renamed"));
                QTest::mouseClick(w->findChild<QPushButton *>(QStringLiteral("But_Confirm")), Qt::LeftButton);
            }
    });
    typist.start(40);
    MessageAnswerer ok(true);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    rlimit none = before;
    none.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &none);
    row->Rename();
    setrlimit(RLIMIT_FSIZE, &before);
    QCOMPARE(ok.count(), 1);
    QVERIFY(ok.shown().startsWith(GetLangText(1050).arg(QStringLiteral("Macro1"))));
    QCOMPARE(row->ItemText(), QStringLiteral("Macro1"));
    QVERIFY(QFile::exists(m_dir->filePath("Products/QK75/moidefConfig/Macro1.bin")));
    QVERIFY(!QFile::exists(m_dir->filePath("Products/QK75/moidefConfig/Renamed.bin")));
}

QTEST_MAIN(TestKeyboardPage)
#include "tst_keyboard_page.moc"
