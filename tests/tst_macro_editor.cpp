// The new macro dialog and the macro editor page in the main window, on a fresh program folder,
// with a fake system-wide capture: name checks, the key hook's life, what leaving the editor
// writes and tells the device pages, and the ways out that must write nothing.
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "macros/QEditMacroItemBase.h"
#include "macros/QEditMacroPage_Iner.h"
#include "macros/QEditPage.h"
#include "macros/QGenerateFile.h"
#include "macros/QJsonConfing.h"
#include "macros/QKeyHook.h"
#include "macros/QMouseHook.h"
#include "tests/support/FakeInputCapture.h"
#include "tests/support/MessageAnswerer.h"
#include "tests/support/TestProgramDir.h"
#include "widgets/QLR_PopWidget.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTabWidget>
#include <QtTest>

#include <functional>
#include <memory>

class TestMacroEditor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void dialogNames_data();
    void dialogNames();
    void dialogEndsWithoutName_data();
    void dialogEndsWithoutName();
    void dialogLeavesRecordingHook();
    void everyEventInView();
    void recordButtonStopsWhatever();
    void leaveMatrix();
    void loadedCountMarksChanged();
    void resetLeavesNameOnly();
    void writesRefused_data();
    void writesRefused();
    void otherMacroOrMissingFile();
    void leftOtherwise();

private:
    // Runs the dialog; act is called once it is up and may end it.
    bool RunDialog(const std::function<void(QGenerateFile *)> &act, QString *name, int *mode);
    QString MacroPath(const QString &name) const { return m_dir->filePath("Products/QK75/moidefConfig/" + name + ".bin"); }
    void Record();
    QPushButton *Button(const char *name) const { return m_page->findChild<QPushButton *>(QLatin1String(name)); }
    QCheckBox *RecordButton() const { return m_page->findChild<QCheckBox *>(QStringLiteral("ButTool")); }
    // The rows lying outside the scroll area's visible width.
    int RowsOutOfView() const;

    std::unique_ptr<TestProgramDir> m_dir;
    std::unique_ptr<MainWidget> m_main;
    QEditPage *m_page = nullptr;
    FakeInputCapture *m_fake = nullptr;
};

void TestMacroEditor::initTestCase()
{
    m_dir.reset(new TestProgramDir);
    QVERIFY(m_dir->isValid());
    m_main.reset(new MainWidget);
    m_main->OpenKeyboardPage(QStringLiteral("QK75"));
    m_page = QEditPage::Instance();
    QVERIFY(m_page);
}

void TestMacroEditor::init()
{
    m_fake = FakeInputCapture::Install();
    QFile::remove(m_dir->filePath("Products/QK75/moidefConfig"));
    QDir(m_dir->filePath("Products/QK75/moidefConfig")).removeRecursively();
    QVERIFY(QDir().mkpath(m_dir->filePath("Products/QK75/moidefConfig")));
}

void TestMacroEditor::cleanup()
{
    m_page->ResetPage();
    m_main->TabWidget()->setCurrentIndex(2);
    while (QKeyHook::Instance()->IsHooked())
        QKeyHook::Instance()->UnHook();
    while (QMouseHook::Instance()->IsHooked())
        QMouseHook::Instance()->UnHook();
    QKeyHook::Instance()->SetKeyBlock(1);
}

void TestMacroEditor::cleanupTestCase()
{
    m_main.reset();
    m_dir.reset();
}

bool TestMacroEditor::RunDialog(const std::function<void(QGenerateFile *)> &act, QString *name, int *mode)
{
    QGenerateFile dialog(nullptr);
    bool acted = false;
    QTimer poll;
    poll.setInterval(20);
    connect(&poll, &QTimer::timeout, &dialog, [&] {
        if (acted || !dialog.isVisible() || !dialog.NameEdit()->hasFocus())
            return;
        acted = true;
        act(&dialog);
    });
    poll.start();
    return dialog.GetResult(name, mode);
}

void TestMacroEditor::dialogNames_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("modeButton");
    QTest::addColumn<int>("refusal"); // text id shown, 0 none
    QTest::addColumn<int>("mode");
    QTest::newRow("ten characters, mode untouched") << "abcdefghij" << "" << 0 << 1;
    QTest::newRow("ten Chinese characters") << QString::fromUtf8("宏宏宏宏宏宏宏宏宏宏") << "But_Othr" << 0 << 2;
    QTest::newRow("while held") << "hold" << "ButRePress" << 0 << 4;
    QTest::newRow("eleven characters") << "abcdefghijk" << "" << 108 << 0;
    QTest::newRow("existing file") << "taken" << "" << 140 << 0;
    QTest::newRow("slash") << "a/b" << "" << 108 << 0;
    QTest::newRow("backslash") << "a\\b" << "" << 108 << 0;
    QTest::newRow("dot dot") << ".." << "" << 108 << 0;
    QTest::newRow("dots inside") << "a..b" << "" << 108 << 0;
    QTest::newRow("leading dot: never listed") << ".x" << "" << 108 << 0;
    QTest::newRow("control character") << QString("a\tb") << "" << 108 << 0;
    QTest::newRow("NUL") << QString::fromLatin1("a\0b", 3) << "" << 108 << 0;
}

void TestMacroEditor::dialogNames()
{
    QFETCH(QString, typed);
    QFETCH(QString, modeButton);
    QFETCH(int, refusal);
    QFETCH(int, mode);
    QVERIFY(m_dir->writeFile("Products/QK75/moidefConfig/taken.bin", "{}"));
    MessageAnswerer answer;
    bool hookedWhileUp = false;
    uchar blockWhileUp = 1;
    QString name;
    int gotMode = 0;
    const bool ok = RunDialog([&](QGenerateFile *d) {
        hookedWhileUp = QKeyHook::Instance()->IsHooked();
        blockWhileUp = QKeyHook::Instance()->KeyBlock();
        if (!modeButton.isEmpty())
            d->findChild<QPushButton *>(modeButton)->click();
        d->NameEdit()->setText(typed);
        QTest::keyClick(d->NameEdit(), Qt::Key_Return);
        if (d->isVisible()) // refused: the dialog stays with the text until Esc
            m_fake->Key(true, 27, 10);
    }, &name, &gotMode);
    QVERIFY(hookedWhileUp);
    QCOMPARE(blockWhileUp, uchar(0));
    QVERIFY(!QKeyHook::Instance()->IsHooked());
    QCOMPARE(QKeyHook::Instance()->KeyBlock(), uchar(1));
    QCOMPARE(ok, refusal == 0);
    if (refusal) {
        QCOMPARE(answer.count(), 1);
        QVERIFY(answer.shown().contains(GetLangText(uint(refusal))));
        QVERIFY(name.isEmpty());
    } else {
        QCOMPARE(answer.count(), 0);
        QCOMPARE(name, typed);
        QCOMPARE(gotMode, mode);
    }
    QCOMPARE(QDir(m_dir->filePath("Products/QK75/moidefConfig")).entryList(QDir::Files), QStringList{"taken.bin"});
}

void TestMacroEditor::dialogEndsWithoutName_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("Esc pressed through the capture") << 0;
    QTest::newRow("Esc pressed and released through the capture") << 1;
    QTest::newRow("Qt's own Escape") << 2;
    QTest::newRow("window closed") << 3;
    QTest::newRow("Enter on an empty field") << 4;
}

void TestMacroEditor::dialogEndsWithoutName()
{
    QFETCH(int, way);
    MessageAnswerer answer;
    QString name;
    int mode = 0;
    const bool ok = RunDialog([&](QGenerateFile *d) {
        if (way != 4)
            d->NameEdit()->setText("typed");
        switch (way) {
        case 0: m_fake->Key(true, 27, 5); break;
        case 1: m_fake->Key(true, 27, 5); m_fake->Key(false, 27, 9); break;
        case 2: QTest::keyClick(d, Qt::Key_Escape); break;
        case 3: d->close(); break;
        default: QTest::keyClick(d->NameEdit(), Qt::Key_Return); break;
        }
    }, &name, &mode);
    QVERIFY(!ok);
    QVERIFY(name.isEmpty());
    QCOMPARE(mode, 1);
    QCOMPARE(answer.count(), 0);
}

void TestMacroEditor::dialogLeavesRecordingHook()
{
    QVERIFY(m_page->EventList()->StartHooks());
    QString name;
    RunDialog([&](QGenerateFile *) { m_fake->Key(true, 27, 5); }, &name, nullptr);
    QVERIFY(QKeyHook::Instance()->IsHooked());
    QVERIFY(m_fake->KeysOn());
    m_page->EventList()->StopHooks();
    QVERIFY(!QKeyHook::Instance()->IsHooked());
}

int TestMacroEditor::RowsOutOfView() const
{
    const QWidget *view = m_page->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->viewport();
    int out = 0;
    for (const QWidget *row : m_page->EventList()->Rows()) {
        const QRect r(row->mapTo(view, QPoint()), row->size());
        out += r.left() < 0 || r.right() >= view->width();
    }
    return out;
}

// The first opening of the editor lays a macro out at the visible width, and rows recorded
// after the visible area narrowed (a longer text beside it) still wrap inside it.
void TestMacroEditor::everyEventInView()
{
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    const QByteArray records = QByteArray::fromHex("00003204" "80003204" "00003205" "80003205");
    QVERIFY(QJsonConfing().WriteMacroFile("short", QJsonConfing::ImageToHex(QJsonConfing::MacroImage("short", records)), 1, 1));
    m_main->on_TabChangeEditkeysDefinition("short", true);
    const QVector<QEditMacroItemBase *> &rows = m_page->EventList()->Rows();
    QTRY_COMPARE(rows.at(3)->y(), rows.at(0)->y()); // one line, not one row per line
    const QWidget *view = m_page->findChild<QScrollArea *>(QStringLiteral("scrollArea"))->viewport();
    const int wide = view->width();
    m_page->findChild<QLabel *>(QStringLiteral("label"))->setText(QString(40, QLatin1Char('W')));
    QTRY_VERIFY(view->width() < wide - 100);
    RecordButton()->click();
    for (uint t = 0; t < 60; ++t)
        m_fake->Key(t % 2 == 0, t % 4 < 2 ? 162 : 65, 1000 + 10 * t); // Ctrl and A
    QCOMPARE(rows.size(), 64);
    QCOMPARE(RowsOutOfView(), 0);
    // the newest row is in sight
    QVERIFY(view->rect().contains(QRect(rows.last()->mapTo(view, QPoint()), rows.last()->size())));
    RecordButton()->click();
    m_main->hide();
}

// A click on the record button ends the recording even when the pointer has not moved since the
// click that started it and the button has lost its hover on the way.
void TestMacroEditor::recordButtonStopsWhatever()
{
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    m_main->on_TabChangeEditkeysDefinition("stop", false);
    QCheckBox *button = RecordButton();
    const QRect place = button->geometry();
    QTest::mouseMove(button);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(m_page->EventList()->IsRecording());
    QTest::qWait(50);
    QCOMPARE(button->geometry(), place); // turned into Stop where it was
    QEvent leave(QEvent::Leave); // as the keyboard grab of the recording can send it
    QCoreApplication::sendEvent(button, &leave);
    const QPoint at = button->mapToGlobal(button->rect().center());
    m_fake->Button(513, 100, 0, at);
    QTest::mouseClick(button, Qt::LeftButton);
    m_fake->Button(514, 180, 0, at);
    QVERIFY(!m_page->EventList()->IsRecording());
    QVERIFY(!m_page->IsRecordButtonChecked());
    QVERIFY(m_page->EventList()->Rows().isEmpty());
    QCursor::setPos(0, 0); // off the button for the tests after
    m_main->hide();
}

// Records A down, A up, right button down and up with the standard delay of 50 ms.
void TestMacroEditor::Record()
{
    m_page->findChild<QCheckBox *>("ButTool")->click();
    QVERIFY(m_page->IsRecordButtonChecked());
    QVERIFY(m_fake->KeysOn() && m_fake->PointerOn());
    m_fake->Key(true, 65, 1000);
    m_fake->Key(false, 65, 1120);
    m_fake->Button(516, 1300);
    m_fake->Button(517, 1400);
    m_page->findChild<QCheckBox *>("ButTool")->click();
    QVERIFY(!QKeyHook::Instance()->IsHooked());
    QCOMPARE(m_page->EventList()->Rows().size(), 4);
}

void TestMacroEditor::leaveMatrix()
{
    QSignalSpy changed(m_page, &QEditPage::MacroFileChangge);
    QSignalSpy quit(m_page, &QEditPage::quitPage);

    // A new macro left unchanged writes nothing, whatever its mode.
    for (int mode : {2, 4, 1}) {
        m_main->on_TabChangeEditkeysDefinition("fresh", false);
        m_main->on_SetEditkeysDefinitionRunWay(mode);
        QVERIFY(!m_page->IsChanged());
        Button("ExitButton")->click();
        QVERIFY(!QFile::exists(MacroPath("fresh")));
    }
    QCOMPARE(quit.count(), 3);
    QCOMPARE(m_main->TabWidget()->currentIndex(), 2);

    // A new macro with rows: the file, the saved tip, and no word to the device pages.
    m_main->on_TabChangeEditkeysDefinition("fresh", false);
    m_main->on_SetEditkeysDefinitionRunWay(4);
    Record();
    Button("ButSeven")->click();
    QFile f(MacroPath("fresh"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QString text = QString::fromUtf8(f.readAll());
    f.close();
    text.replace(QRegularExpression("\"Time\": \"[^\"]*\""), "\"Time\": \"T\"");
    QCOMPARE(text, QStringLiteral("{\n"
                                  "    \"fresh\": {\n"
                                  "        \"RunOne\": 1,\n"
                                  "        \"RunWay\": 4,\n"
                                  "        \"Time\": \"T\",\n"
                                  "        \"buffsize\": 22,\n"
                                  "        \"mdfdata\": \"0x050x660x720x650x730x680x000x000x320x040x800x000x320x040x200x000x320x020xa00x000x320x02\"\n"
                                  "    }\n"
                                  "}\n"));
    QCOMPARE(QLR_PopWidget::Current()->Text(), QStringLiteral("fresh.bin ") + GetLangText(296));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(m_page->MacroName(), QStringLiteral("Object"));

    // The same macro opened, its mode changed and left: the device pages hear of it.
    m_main->on_TabChangeEditkeysDefinition("fresh", true);
    QCOMPARE(m_page->EventList()->Rows().size(), 4);
    QVERIFY(!m_page->IsChanged());
    m_page->findChild<QRadioButton *>("RunKeyDown")->click();
    Button("ExitButton")->click();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toString(), QStringLiteral("fresh"));
    int way = 0, one = 0;
    QCOMPARE(QJsonConfing().ReadMacroData("fresh", &way, &one).size(), 22);
    QCOMPARE(way, 2);
}

void TestMacroEditor::loadedCountMarksChanged()
{
    QVERIFY(QJsonConfing().WriteMacroFile("five", QJsonConfing::ImageToHex(QJsonConfing::MacroImage("five", QByteArray::fromHex("0000320480003204"))), 1, 5));
    m_main->on_TabChangeEditkeysDefinition("five", true);
    QCOMPARE(m_page->findChild<QLineEdit *>("RunModelNumbel")->text(), QStringLiteral("5"));
    QVERIFY(m_page->IsChanged());
    QSignalSpy changed(m_page, &QEditPage::MacroFileChangge);
    m_page->findChild<QLineEdit *>("RunModelNumbel")->setText("");
    Button("ButSeven")->click();
    QCOMPARE(changed.count(), 1);
    int way = 0, one = 0;
    QJsonConfing().ReadMacroData("five", &way, &one);
    QCOMPARE(one, 1); // an empty count is saved as 1
    QCOMPARE(m_page->findChild<QLineEdit *>("RunModelNumbel")->text(), QStringLiteral("1"));
}

void TestMacroEditor::resetLeavesNameOnly()
{
    QVERIFY(QJsonConfing().WriteMacroFile("rst", QJsonConfing::ImageToHex(QJsonConfing::MacroImage("rst", QByteArray::fromHex("0000320480003204"))), 2, 1));
    m_main->on_TabChangeEditkeysDefinition("rst", true);
    {
        // Refused while delays are being edited.
        MessageAnswerer answer(true);
        m_page->findChild<QRadioButton *>("ButEditTime")->click();
        Button("ButSeSet")->click();
        QCOMPARE(answer.count(), 1);
        QVERIFY(answer.shown().contains(GetLangText(118)));
        m_page->findChild<QRadioButton *>("ButEditTime")->click();
        QCOMPARE(m_page->EventList()->Rows().size(), 2);
    }
    {
        MessageAnswerer cancel(false);
        Button("ButSeSet")->click();
        QCOMPARE(cancel.count(), 1);
        QCOMPARE(m_page->EventList()->Rows().size(), 2);
    }
    MessageAnswerer yes(true);
    Button("ButSeSet")->click();
    QVERIFY(yes.shown().contains(GetLangText(334)));
    QVERIFY(!Button("ButSeven")->isEnabled());
    int way = 0, one = 0;
    const QVector<uchar> image = QJsonConfing().ReadMacroData("rst", &way, &one);
    QCOMPARE(image, (QVector<uchar>{3, 'r', 's', 't'}));
    QCOMPARE(way, 2);
}

void TestMacroEditor::writesRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("folderIsFile");
    QTest::newRow("name no file can carry") << "a:b" << false;
    QTest::newRow("folder cannot be written") << "blocked" << true;
}

void TestMacroEditor::writesRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, folderIsFile);
    if (folderIsFile) {
        QVERIFY(QDir(m_dir->filePath("Products/QK75/moidefConfig")).removeRecursively());
        QVERIFY(m_dir->writeFile("Products/QK75/moidefConfig", "not a folder"));
    }
    QSignalSpy changed(m_page, &QEditPage::MacroFileChangge);
    m_main->on_TabChangeEditkeysDefinition(name, false);
    Record();
    Button("ButSeven")->click();
    QCOMPARE(QLR_PopWidget::Current()->Text(), GetLangText(297));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(m_main->TabWidget()->currentIndex(), 2);
    if (folderIsFile)
        QCOMPARE(m_dir->readFile("Products/QK75/moidefConfig"), QByteArray("not a folder"));
    else
        QVERIFY(QDir(m_dir->filePath("Products/QK75/moidefConfig")).entryList(QDir::Files).isEmpty());
}

void TestMacroEditor::otherMacroOrMissingFile()
{
    // A file renamed outside the program: its image names another macro.
    QVERIFY(QJsonConfing().WriteMacroFile("old", QJsonConfing::ImageToHex(QJsonConfing::MacroImage("old", QByteArray::fromHex("0000320480003204"))), 4, 1));
    QVERIFY(QFile::copy(MacroPath("old"), MacroPath("new")));
    m_main->on_TabChangeEditkeysDefinition("new", false);
    m_main->on_SetEditkeysDefinitionRunWay(2);
    Button("ExitButton")->click();
    const QByteArray before = m_dir->readFile("Products/QK75/moidefConfig/new.bin");
    for (const char *name : {"new", "gone"}) {
        m_main->on_TabChangeEditkeysDefinition(name, true);
        QVERIFY(m_page->EventList()->Rows().isEmpty());
        QCOMPARE(m_page->RunMode(), 2);
        QVERIFY(!m_page->IsChanged());
        Button("ExitButton")->click();
    }
    QCOMPARE(m_dir->readFile("Products/QK75/moidefConfig/new.bin"), before);
    QVERIFY(!QFile::exists(MacroPath("gone")));
}

void TestMacroEditor::leftOtherwise()
{
    m_main->on_TabChangeEditkeysDefinition("away", false);
    m_page->findChild<QCheckBox *>("ButTool")->click();
    m_fake->Key(true, 65, 10);
    QVERIFY(m_page->IsChanged());
    QVERIFY(QKeyHook::Instance()->IsHooked());
    m_main->on_TabChangeHID_API(); // as a device unplugged
    QVERIFY(!QKeyHook::Instance()->IsHooked());
    QVERIFY(!QMouseHook::Instance()->IsHooked());
    QVERIFY(!m_page->IsRecordButtonChecked());
    QVERIFY(!m_page->IsChanged());
    QCOMPARE(m_page->MacroName(), QStringLiteral("Object"));
    QVERIFY(m_page->EventList()->Rows().isEmpty());
    QVERIFY(!QFile::exists(MacroPath("away")));
}

QTEST_MAIN(TestMacroEditor)
#include "tst_macro_editor.moc"
