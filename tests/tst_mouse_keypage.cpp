// The mouse key page end to end: a configuration chosen in the file panel and a macro dropped on
// a button reach the emulated mouse of each family, saved as the page shows them; and the
// page's refusals of damaged or missing configurations; and a user's walk through the lists,
// the macro editor and the configuration panel.
#include "app/MainWidget.h"
#include "app/ProductCatalogue.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QKeyLableItem.h"
#include "keyboard/QConfigList.h"
#include "keyboard/QUserConfig_Item.h"
#include "app/QXM_Process.h"
#include "macros/QConfigDirs.h"
#include "macros/QEditMacroPage_Iner.h"
#include "macros/QEditPage.h"
#include "macros/QGenerateFile.h"
#include "widgets/QInputDialog.h"
#include "widgets/QInputDialogCopy.h"
#include "tests/support/FakeInputCapture.h"
#include "tests/support/MessageAnswerer.h"
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
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QtTest>

#include <functional>
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
// Acts on the next modal window of type T once act reports it done (it is asked again until then).
template <typename T>
void OnModal(std::function<bool(T *)> act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (window && act(window)) {
            poll->stop();
            poll->deleteLater();
        }
    });
    poll->start(20);
}

// Types a name into the next one-line input of type T and confirms it.
template <typename T>
void AnswerName(const QString &name)
{
    OnModal<T>([name](T *ask) {
        ask->template findChild<QLineEdit *>()->setText(name);
        ask->template findChild<QPushButton *>("But_Confirm")->click();
        return true;
    });
}

void AnswerFile(const QString &path)
{
    OnModal<QFileDialog>([path](QFileDialog *dialog) {
        dialog->findChild<QLineEdit *>("fileNameEdit")->setText(path); // the typed name wins over any selection
        static_cast<QDialog *>(dialog)->accept();
        return true;
    });
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
    void userWalk();

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
    void OpenMouse(bool second);
    // A row of a left list pressed, held, moved onto a button of the page and let go there.
    void Drag(QWidget *listRow, QLineInfo *button);

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

void TstMouseKeyPage::OpenMouse(bool second)
{
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
}

void TstMouseKeyPage::Drag(QWidget *listRow, QLineInfo *button)
{
    Send(listRow, QEvent::MouseButtonPress, QPoint(40, 10));
    QTest::qWait(250); // a macro row drags only after 200 ms
    const QPoint target = listRow->mapFromGlobal(button->mapToGlobal(button->P1()));
    Send(listRow, QEvent::MouseMove, target);
    Send(listRow, QEvent::MouseButtonRelease, target);
    QVERIFY(Idle());
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
    OpenMouse(second);
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
    // every column hears the drag; the hidden top page lies under the same point and takes nothing
    Drag(burstRow, forward);
    QVERIFY(!qobject_cast<QGradualChangeLine *>(Frame()->Pages()->widget(0))->DropTarget());
    QCOMPARE(PageRows(Frame()).mid(0, 4), before.mid(0, 4));
    QCOMPARE(PageRows(Frame()).at(4), QStringLiteral("%1 1 Burst").arg(forward->SendAddress()));
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
    Send(row, QEvent::MouseButtonPress, QPoint(40, 10)); // the row chooses as the panel does
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
    bool fits = false;
    // a taken name keeps the popup open with its message, whole in the label's room; "X" then gives nothing
    QTimer::singleShot(50, [&] {
        auto *popup = qobject_cast<QGenderConfigInput *>(QApplication::activeModalWidget());
        QVERIFY(popup);
        popup->LineEdit()->setText("Burst");
        popup->on_lineEdit_editingFinished();
        const QLabel *shown = popup->Label();
        label = shown->text();
        const int flags = (shown->wordWrap() ? Qt::TextWordWrap : 0) | int(shown->alignment());
        fits = shown->contentsRect().contains(shown->fontMetrics().boundingRect(shown->contentsRect(), flags, label));
        popup->findChild<QPushButton *>("ExitButton")->click();
    });
    QCOMPARE(QGenderConfigInput::GetFilePath(folder, ".xml"), QString());
    QCOMPARE(label, GetLangText(882));
    QVERIFY(fits);
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

void TstMouseKeyPage::userWalk()
{
    // A user opens the mouse and works through the lists and the configuration panel.
    FakeInputCapture *fake = FakeInputCapture::Install();
    OpenMouse(false);
    auto *top = qobject_cast<QGradualChangeLine *>(Frame()->Pages()->widget(0));
    QLineInfo *right = top->Lines().at(1);
    QLineInfo *middle = top->Lines().at(2);
    QCOMPARE(right->SendAddress(), uint16_t(12));
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    for (int n = 0; n < Frame()->ConfigLists().size(); ++n) { // each tab name shows whole
        auto *tab = Frame()->findChild<QAbstractButton *>(QStringLiteral("Button_%1").arg(n));
        QVERIFY2(tab->fontMetrics().horizontalAdvance(tab->text()) <= tab->width(), qPrintable(tab->text()));
    }

    // a function onto the right button
    QConfigList *functions = Frame()->ConfigLists().at(0);
    Drag(functions->Row(functions->FindItem(GetLangText(631))), right);
    QCOMPARE(m20->KeyAt(12).toHex(), QByteArray("01100000"));

    // a macro made from its list: the new-macro dialog, the editor, back to the page
    Frame()->findChild<QAbstractButton *>("Button_2")->click();
    QConfigList *macros = Frame()->ConfigLists().at(2);
    OnModal<QGenerateFile>([](QGenerateFile *dialog) {
        if (!dialog->NameEdit()->hasFocus())
            return false;
        dialog->NameEdit()->setText("Walk");
        QTest::keyClick(dialog->NameEdit(), Qt::Key_Return);
        return true;
    });
    Send(macros->Row(macros->item(0)), QEvent::MouseButtonPress, QPoint(40, 10));
    QEditPage *editor = QEditPage::Instance();
    QCOMPARE(m_main->TabWidget()->currentWidget(), editor);
    editor->findChild<QCheckBox *>("ButTool")->click();
    fake->Key(true, 65, 1000);
    fake->Key(false, 65, 1120);
    editor->findChild<QCheckBox *>("ButTool")->click();
    editor->findChild<QPushButton *>("ExitButton")->click();
    QVERIFY(m_main->TabWidget()->currentWidget() != editor);
    Frame()->findChild<QAbstractButton *>("Button_2")->click();
    QWidget *walk = macros->Row(macros->FindItem("Walk"));
    QVERIFY(walk);
    Drag(walk, middle);
    QCOMPARE(m20->KeyAt(16).at(0), char(3));
    QCOMPARE(middle->ReName(), QStringLiteral("Walk"));

    // a click opens a macro in the editor with its records
    QWidget *burst = macros->Row(macros->FindItem("Burst"));
    Send(burst, QEvent::MouseButtonPress, QPoint(40, 10));
    Send(burst, QEvent::MouseButtonRelease, QPoint(40, 10));
    QCOMPARE(m_main->TabWidget()->currentWidget(), editor);
    QCOMPARE(editor->MacroName(), QStringLiteral("Burst"));
    QVERIFY(!editor->EventList()->Rows().isEmpty());
    editor->findChild<QPushButton *>("ExitButton")->click();

    // renamed with a right click, then deleted with its cross
    const QString macroDir = m_dir->filePath("Products/QM8/moidefConfig/");
    AnswerName<quorix::QInputDialog>("Walked");
    Send(walk, QEvent::MouseButtonPress, QPoint(40, 10));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(40, 10), walk->mapToGlobal(QPoint(40, 10)),
                        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(walk, &release);
    QVERIFY(QFile::exists(macroDir + "Walked.bin") && !QFile::exists(macroDir + "Walk.bin"));
    QCOMPARE(middle->ReName(), QStringLiteral("Walked")); // the button follows, and its file
    QVERIFY(m_dir->readFile("Products/QM8/UserConfig/Base.xml").contains("ReName=\"Walked\""));
    {
        MessageAnswerer refused(true); // a macro a button plays stays, asked from its row or the page
        Send(walk, QEvent::MouseButtonPress, QPoint(walk->width() - 10, 10));
        Frame()->on_DeleteMacroUi("Walked");
        QTRY_COMPARE(refused.count(), 2);
        QVERIFY(refused.shown().contains(GetLangText(774).arg("Walked", "Base")));
    }
    QVERIFY(macros->FindItem("Walked") && QFile::exists(macroDir + "Walked.bin"));

    // the panel: add, rename, export, import, choose
    auto *panelButton = Frame()->findChild<QPushButton *>("ButConfig");
    QVERIFY(panelButton->isVisible());
    panelButton->click();
    QConfigDirs *panel = Frame()->ConfigDirs();
    QVERIFY(panel->isVisible());
    auto click = [panel](const char *name) { panel->findChild<QPushButton *>(name)->click(); };
    AnswerName<QInputDialogCopy>("Spare");
    click("But_AddFile");
    panel->List()->setCurrentItem(panel->List()->findItems("Spare", Qt::MatchExactly).value(0));
    AnswerName<QInputDialogCopy>("Kept");
    click("But_RenameFile");
    QVERIFY(QFile::exists(Config("Kept")) && !QFile::exists(Config("Spare")));
    QConfigList *profiles = Frame()->ConfigLists().at(3); // follows the panel
    QVERIFY(profiles->FindItem("Kept") && !profiles->FindItem("Spare"));
    QTemporaryDir outside;
    AnswerFile(outside.filePath("Out")); // typed without ".xml": the file still gets it
    click("But_OutFile");
    QCOMPARE(m_dir->readFile("Products/QM8/UserConfig/Kept.xml"), m_dir->readFile("Products/QM8/UserConfig/Base/Base.xml"));
    QFile out(outside.filePath("Out.xml"));
    QVERIFY(out.open(QIODevice::ReadOnly));
    QCOMPARE(out.readAll(), m_dir->readFile("Products/QM8/UserConfig/Kept.xml"));
    QVERIFY(QFile::copy(Config("Burst"), outside.filePath("Night.xml")));
    AnswerFile(outside.filePath("Night.xml"));
    MessageAnswerer yes(true);
    click("But_InPutFile");
    QVERIFY(QFile::exists(Config("Night")));
    Choose("Night");
    QVERIFY(Idle());
    QCOMPARE(UserConfig(), QStringLiteral("Night"));
    QCOMPARE(m20->KeyAt(36).toHex(), QByteArray("03010200"));
    QCOMPARE(m20->KeyAt(12).toHex(), QByteArray("01020000"));
}

QTEST_MAIN(TstMouseKeyPage)
#include "tst_mouse_keypage.moc"
