// The mouse key page end to end: a configuration chosen in the file panel and a macro dropped on
// a button reach the emulated mouse of each family, saved as the page shows them; and the
// page's refusals of damaged or missing configurations.
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QUserConfig_Item.h"
#include "macros/QConfigDirs.h"
#include "macros/QGenderConfigInput.h"
#include "macros/QUserKeyBordConfig.h"
#include "mouse/QBackLineMange.h"
#include "mouse/QGradualChangeLine.h"
#include "mouse/QLStyleBoraWidget.h"
#include "mouse/QLStyleMouseTabWidget.h"
#include "mouse/QLineInfo.h"
#include "tests/emu/EmuControl.h"
#include "widgets/QWaitingAnimationDlg.h"
#include "tests/emu/EmuMouse20.h"
#include "tests/emu/EmuMouseYx.h"
#include "tests/support/HidTestSupport.h"
#include "tests/support/TestProgramDir.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

namespace {
// What the workers take of each row: address, type, and the code or, for a macro, its name.
QStringList PageRows(QLStyleBoraWidget *frame)
{
    QStringList rows;
    for (QLineInfo *row : frame->LineValues())
        rows << QStringLiteral("%1 %2 %3").arg(row->SendAddress()).arg(row->ValueType())
                    .arg(row->ValueType() == 1 ? row->ReName() : row->CurrentCode());
    return rows;
}
void Send(QWidget *row, QEvent::Type type, QPoint local)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, local, row->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(row, &event);
}
} // namespace

class TstMouseKeyPage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void choiceAndDropReachTheMouse_data();
    void choiceAndDropReachTheMouse();
    void damagedConfigurations();
    void newConfigurationName();

private:
    QLStyleBoraWidget *Frame() const { return QLStyleBoraWidget::instance(); }
    HID_API *Api() const { return HID_API::instance(); }
    bool Idle() const { return Api()->Manager()->WaitIdle(10000); }
    QString Config(const QString &name) const { return m_dir->filePath("Products/" + m_product + "/UserConfig/" + name + ".xml"); }
    QString UserConfig() const
    {
        QSettings ini(m_dir->filePath("Products/" + m_product + "/" + m_product + "_data.ini"), QSettings::IniFormat);
        return ini.value("default/UserConfig").toString();
    }
    void Choose(const QString &name);

    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    std::shared_ptr<emu::EmuMouse20> m20;
    std::shared_ptr<emu::MouseYx> myx;
    QString m_product = QStringLiteral("QM8");
};

void TstMouseKeyPage::init()
{
    emu::Reset();
    emu::SetTimeScale(0.05);
    m_dir = std::make_unique<TestProgramDir>();
    QVERIFY(m_dir->isValid());
    ClearProductListCache();
    m_product = QStringLiteral("QM8");
}

void TstMouseKeyPage::cleanup()
{
    QVERIFY(HidNoModelErrors());
    m_main.reset();
    m20.reset();
    myx.reset();
    emu::Reset();
    m_dir.reset();
}

void TstMouseKeyPage::Choose(const QString &name)
{
    // through the panel: its list, its use button
    QConfigDirs *panel = Frame()->ConfigDirs();
    panel->Refresh();
    const QList<QListWidgetItem *> found = panel->List()->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    panel->List()->setCurrentItem(found.first());
    panel->findChild<QPushButton *>("But_ToMouseConfig")->click();
}

void TstMouseKeyPage::choiceAndDropReachTheMouse_data()
{
    QTest::addColumn<bool>("second");
    QTest::newRow("20/520 mouse") << false;
    QTest::newRow("second-family mouse") << true;
}

void TstMouseKeyPage::choiceAndDropReachTheMouse()
{
    QFETCH(bool, second);
    uint32_t node = 0;
    if (second) {
        myx = std::static_pointer_cast<emu::MouseYx>(emu::MakeDevice(emu::Model::SecondFamilyWired));
        node = emu::Plug(myx);
        m_product = QStringLiteral("QX3");
    } else {
        m20 = std::static_pointer_cast<emu::EmuMouse20>(emu::MakeDevice(emu::Model::MouseWired));
        node = emu::Plug(m20);
    }
    m_main = std::make_unique<MainWidget>();
    QCOMPARE(Api()->SelectDevice(Api()->TileMap().value(node)), 0);
    QTRY_VERIFY_WITH_TIMEOUT(Api()->CurrentDevice() && std::atomic_load(&Api()->CurrentDevice()->mouseData), 10000);
    QVERIFY(Idle());
    m_main->OpenMousePage(m_product);
    m_main->show();
    QCOMPARE(Frame()->Pages()->count(), 2);
    QCOMPARE(Frame()->LineValues().size(), 8);

    // The user's configuration with a macro row: every button as stored, saved as shown.
    Choose(QStringLiteral("Burst"));
    QVERIFY(Idle());
    QCOMPARE(UserConfig(), QStringLiteral("Burst"));
    QString levels, images, small;
    QBackLineMange store;
    store.Read(Config("Burst"), &levels, &images, &small);
    QVERIFY(store.Write(Config("Page"), levels, images, small, Frame()->LineValueMap()));
    QCOMPARE(m_dir->readFile("Products/" + m_product + "/UserConfig/Burst.xml"),
             m_dir->readFile("Products/" + m_product + "/UserConfig/Page.xml"));
    // address -> code: the Back button holds the middle button, Fire the macro (loop, twice)
    const QList<QPair<int, QByteArray>> keys = second
        ? QList<QPair<int, QByteArray>>{{0, "01010000"}, {1, "01020000"}, {2, "01040000"}, {3, "01100000"},
                                         {4, "01040000"}, {5, "05000000"}, {6, "05010000"}, {7, "03010200"}}
        : QList<QPair<int, QByteArray>>{{8, "01010000"}, {12, "01020000"}, {16, "01040000"}, {20, "01100000"},
                                         {24, "01040000"}, {28, "05000000"}, {32, "05010000"}, {36, "03010200"}};
    for (const auto &key : keys)
        QCOMPARE((second ? myx->KeyAssignments().value(uint8_t(key.first)) : m20->KeyAt(key.first)).toHex(), key.second);
    if (second)
        QCOMPARE(myx->KeyAssignments().size(), 8);
    const QByteArray burst = QByteArray::fromHex("00003204800032040000320580003205");
    QVERIFY((second ? myx->MacroData() : m20->MacroData()).contains(burst));

    // The macro dragged from its list onto the Forward button of the side picture.
    Frame()->Pages()->setCurrentIndex(1);
    auto *side = qobject_cast<QGradualChangeLine *>(Frame()->Pages()->currentWidget());
    QLineInfo *forward = side->Lines().at(0);
    QCOMPARE(forward->DefaultText(), QStringLiteral("Forward"));
    const QStringList before = PageRows(Frame());
    Frame()->findChild<QAbstractButton *>("Button_2")->click();
    QVERIFY(Frame()->IsThirdButtonChecked());
    QConfigList *macros = Frame()->ConfigLists().at(2);
    QWidget *burstRow = macros->Row(macros->FindItem(QStringLiteral("Burst")));
    QVERIFY(burstRow);
    Send(burstRow, QEvent::MouseButtonPress, QPoint(40, 10));
    QTest::qWait(250);
    // every column hears the drag; the hidden top page lies under the same point and takes nothing
    const QPoint target = burstRow->mapFromGlobal(forward->mapToGlobal(forward->P1()));
    Send(burstRow, QEvent::MouseMove, target);
    Send(burstRow, QEvent::MouseButtonRelease, target);
    QVERIFY(!qobject_cast<QGradualChangeLine *>(Frame()->Pages()->widget(0))->DropTarget());
    QCOMPARE(PageRows(Frame()).mid(0, 4), before.mid(0, 4));
    QCOMPARE(PageRows(Frame()).at(4), QStringLiteral("%1 1 Burst").arg(forward->SendAddress()));
    QVERIFY(Idle());
    const int forwardKey = second ? 3 : 20;
    QCOMPARE((second ? myx->KeyAssignments().value(uint8_t(forwardKey)) : m20->KeyAt(forwardKey)).toHex(),
             QByteArray("03010200"));
    QCOMPARE(QBackLineMange().Read(Config("Burst"), nullptr, nullptr, nullptr).value(m_product + "_side.png").at(0).reName,
             QStringLiteral("Burst"));

    // A new configuration from its list row opens again through the panel with the same rows.
    const QStringList page = PageRows(Frame());
    QConfigList *files = Frame()->ConfigLists().at(3);
    QCOMPARE(files->FirstRowType(), 8);
    QTimer::singleShot(50, [] {
        auto *popup = qobject_cast<QGenderConfigInput *>(QApplication::activeModalWidget());
        QVERIFY(popup);
        popup->LineEdit()->setText("Mine");
        popup->on_lineEdit_editingFinished();
    });
    Send(files->Row(files->item(0)), QEvent::MouseButtonPress, QPoint(40, 10));
    auto *row = qobject_cast<QUserConfig_Item *>(files->Row(files->item(files->count() - 1)));
    QVERIFY(row);
    QCOMPARE(row->ItemText(), QStringLiteral("Mine"));
    Choose(QStringLiteral("Base"));
    QVERIFY(Idle());
    QVERIFY(PageRows(Frame()) != page);
    Send(row, QEvent::MouseButtonPress, QPoint(40, 10)); // the row itself chooses nothing
    QCOMPARE(UserConfig(), QStringLiteral("Base"));
    Choose(QStringLiteral("Mine"));
    QVERIFY(Idle());
    QCOMPARE(UserConfig(), QStringLiteral("Mine"));
    QCOMPARE(PageRows(Frame()), page);
}

void TstMouseKeyPage::damagedConfigurations()
{
    // Two pictures with a row at the same place; the second picture's name leaves the folder.
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Backinfos><USer_Defined_Keylevel Names=\"NULL\"/>"
                            "<imageInfo Images=\"QM8_top.png|../../QK75/QK75.png\" MinImage=\"\"/>";
    auto line = [](const char *picture, const char *name, const char *code, const char *type) {
        return QByteArray("<Lines><levelMap image=\"") + picture + "\"/><SubLine Rect=\"10,10,200,60\" DefaultText=\"@244\" "
               "DefaultCode=\"01010000\" Slope=\"Linelose\" Direction=\"SLeft\" SendAdderss=\"8\" Change=\"1\" ReName=\"" + name
               + "\" Recode=\"" + code + "\" ValueTyp=\"" + type + "\"/></Lines>";
    };
    QVERIFY(m_dir->writeFile("Products/QM8/UserConfig/Twin.xml", head + line("QM8_top.png", "NULL", "NULL", "CODITEM")
                                                                    + line("../../QK75/QK75.png", "NULL", "NULL", "CODITEM") + "</Backinfos>"));
    QVERIFY(m_dir->writeFile("Products/QM8/UserConfig/Pick.xml", head + line("QM8_top.png", "Copy", "02000600", "CODITEM") + "</Backinfos>"));
    QVERIFY(m_dir->writeFile("Products/QM8/UserConfig/Clear.xml", head + line("QM8_top.png", "NULL", "NULL", "CODITEM") + "</Backinfos>"));
    QVERIFY(m_dir->writeFile("Products/QM8/UserConfig/Escape.xml", head + line("QM8_top.png", "../x", "NULL", "MACROITEM") + "</Backinfos>"));
    {
        QSettings ini(m_dir->filePath("Products/QM8/QM8_data.ini"), QSettings::IniFormat);
        ini.setValue("default/UserConfig", "Twin");
    }
    m_main = std::make_unique<MainWidget>();
    m_main->OpenMousePage(m_product);
    QCOMPARE(Frame()->LineValues().size(), 2);
    QVERIFY(QLStyleBoraWidget::SafePicture("QM8_top.png"));
    QVERIFY(!QLStyleBoraWidget::SafePicture("../../QK75/QK75.png"));
    QVERIFY(!QLStyleBoraWidget::SafePicture("/etc/x.png"));

    // a record reaches both rows at its place; a record without an assignment clears both
    Frame()->on_ConfigDirs_Itemclicked("Pick");
    // no mouse is open: the key write ends at once and so does the busy indicator
    QVERIFY(Idle());
    QTRY_VERIFY(!QWaitingAnimationDlg::Existing());
    for (QLineInfo *row : Frame()->LineValues())
        QCOMPARE(row->CurrentCode() + row->ReName(), QStringLiteral("02000600Copy"));
    Frame()->on_ConfigDirs_Itemclicked("Clear");
    for (QLineInfo *row : Frame()->LineValues()) {
        QCOMPARE(row->CurrentCode(), QStringLiteral("01010000"));
        QCOMPARE(row->NameId(), uint16_t(0));
    }
    // a macro name that is no file name of the macro folder is no assignment
    Frame()->on_ConfigDirs_Itemclicked("Escape");
    for (QLineInfo *row : Frame()->LineValues())
        QCOMPARE(row->ValueType(), uint8_t(0));

    // the configuration in use can be neither deleted nor renamed from the panel
    QConfigDirs *panel = Frame()->ConfigDirs();
    panel->SetInUseName("Escape");
    panel->Refresh();
    panel->List()->setCurrentItem(panel->List()->findItems("Escape", Qt::MatchExactly).first());
    panel->findChild<QPushButton *>("But_DeleteFile")->click();
    QVERIFY(QFile::exists(Config("Escape")));

    // no save without a file to read it from, and never into ".xml"
    QVERIFY(m_dir->removeFile("Products/QM8/UserConfig/Escape.xml"));
    Frame()->on_ConfigChangeTofile();
    QVERIFY(!QFile::exists(Config("Escape")));
    {
        QSettings ini(m_dir->filePath("Products/QM8/QM8_data.ini"), QSettings::IniFormat);
        ini.setValue("default/UserConfig", "");
    }
    Frame()->on_LineValueDtdaChange();
    QVERIFY(!QFile::exists(Config("")));
}

void TstMouseKeyPage::newConfigurationName()
{
    const QString folder = m_dir->filePath("Products/QM8/UserConfig");
    QString label;
    // a taken name keeps the popup open with its message; "X" then gives nothing
    QTimer::singleShot(50, [&] {
        auto *popup = qobject_cast<QGenderConfigInput *>(QApplication::activeModalWidget());
        QVERIFY(popup);
        popup->LineEdit()->setText("Burst");
        popup->on_lineEdit_editingFinished();
        label = popup->Label()->text();
        popup->findChild<QPushButton *>("ExitButton")->click();
    });
    QCOMPARE(QGenderConfigInput::GetFilePath(folder, ".xml"), QString());
    QCOMPARE(label, QStringLiteral("The file has the same name"));
    // a path-like name is no file name; a new plain name is the result
    QTimer::singleShot(50, [&] {
        auto *popup = qobject_cast<QGenderConfigInput *>(QApplication::activeModalWidget());
        QVERIFY(popup);
        popup->LineEdit()->setText("../Up");
        popup->on_lineEdit_editingFinished();
        QVERIFY(popup->isVisible());
        popup->LineEdit()->setText("Fresh");
        popup->on_lineEdit_editingFinished();
    });
    QCOMPARE(QGenderConfigInput::GetFilePath(folder, ".xml"), folder + "/Fresh.xml");
}

QTEST_MAIN(TstMouseKeyPage)
#include "tst_mouse_keypage.moc"
