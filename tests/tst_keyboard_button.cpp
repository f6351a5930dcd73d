// One key of the on-screen keyboard: what an assignment shows, the value pop-up, presses.
#include "app/QXM_Process.h"
#include "keyboard/KeyValueInfo.h"
#include "keyboard/QLStyleKeybordTabWidget.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "keyboard/QMultifunKeyButton.h"
#include "lighting/AudioMonitor.h"
#include "lighting/QLightConfigWIdget.h"
#include "tests/support/TestProgramDir.h"

#include <QtTest>

class TestKeyboardButton : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void assignmentLook();
    void popupTexts();
    void pressMatrix();
    void pageSwitches();

private:
    QMultifunKeyButton *Key(const QString &name);
    TestProgramDir *m_dir = nullptr;
    QLStyleKeybordTabWidget *m_page = nullptr;
    QMultifunKeyBoard *m_board = nullptr;
};

void TestKeyboardButton::init()
{
    m_dir = new TestProgramDir;
    m_page = new QLStyleKeybordTabWidget;
    m_board = m_page->KeyBoard();
    LayoutKeyRecord a, b;
    a.KeyName = QStringLiteral("@17");
    a.KeyText = QStringLiteral("@17");
    a.width = a.height = 40;
    b = a;
    b.KeyName = b.KeyText = QStringLiteral("M");
    b.x = 50;
    m_board->BuildButtons({&a, &b}, 1);
    m_board->InitLayers(3);
}

void TestKeyboardButton::cleanup()
{
    delete m_page;
    delete m_dir;
}

QMultifunKeyButton *TestKeyboardButton::Key(const QString &name)
{
    return m_board->KeyByName(name);
}

void TestKeyboardButton::assignmentLook()
{
    QMultifunKeyButton *key = Key(QStringLiteral("M"));
    QCOMPARE(key->DefaultText, QStringLiteral("M"));
    // type -> display type, picture mode (the earlier one where a type keeps it)
    const QList<QList<int>> cases = {{1, 1, 1}, {3, 3, 1}, {5, 2, 1}, {2, 1, 1}, {4, 1, 1},
                                     {0, 1, 0}, {6, 1, 0}, {7, 1, 0}, {8, 4, 0}, {9, 4, 0}};
    _KeyValueInfo info;
    for (const QList<int> &c : cases) {
        info.type = c[0];
        key->on_setChangobj(&info);
        QCOMPARE(int(key->DisplayType), c[1]);
        QCOMPARE(int(key->PictureMode), c[2]);
        QCOMPARE(int(key->BorderMode), 1);
    }
    key->on_setChangobj(nullptr);
    QCOMPARE(int(key->DisplayType), 0);
    // a reset brings the layout's border value back: a cap-text key shows its cap again
    key->on_BuildButtonInfo(0, 0, QString(), 0, false, false);
    key->on_setChangobj(&info);
    key->on_Resetdefault();
    QCOMPARE(int(key->BorderMode), 0);
    QVERIFY(!key->Record);
    QCOMPARE(key->text(), QStringLiteral("M"));
}

void TestKeyboardButton::popupTexts()
{
    QMultifunKeyButton *key = Key(QStringLiteral("@17"));
    QEvent enter(QEvent::Enter), leave(QEvent::Leave);
    QApplication::sendEvent(key, &enter); // no record: hover only, no pop-up
    QCOMPARE(int(key->Hover), 1);
    QVERIFY(!m_page->Popup());
    QApplication::sendEvent(key, &leave);
    QCOMPARE(int(key->Hover), 0);
    _KeyValueInfo info;
    info.KeyButtonName = QStringLiteral("@17");
    info.LeftValue = QStringLiteral("Home");
    key->on_setChangobj(&info);
    QApplication::sendEvent(key, &enter);
    QVERIFY(m_page->Popup());
    QCOMPARE(m_page->Popup()->ValueLine(), GetLangText(3) + QStringLiteral("Home"));
    QCOMPARE(m_page->Popup()->KeyNameLine(), GetLangText(4) + QStringLiteral("Left"));
    QApplication::sendEvent(key, &leave);
    QVERIFY(!m_page->Popup());
    QCOMPARE(QMultifunKeyButton::PopupTitle(QStringLiteral("@17")), QStringLiteral("Left"));
    QCOMPARE(QMultifunKeyButton::PopupTitle(QStringLiteral("@99")), QString());
    // a macro name is put into text 5 as plain text, "%" and all
    info.type = 3;
    info.LeftValue = QStringLiteral("%s%n%d");
    QApplication::sendEvent(key, &enter);
    QVERIFY(m_page->Popup());
    QString expected = GetLangText(5);
    expected.replace(expected.indexOf(QLatin1String("%s")), 2, info.LeftValue);
    QCOMPARE(m_page->Popup()->ValueLine(), GetLangText(3) + expected);
    QCOMPARE(m_page->Popup()->KeyNameLine(), GetLangText(4) + QStringLiteral("@17"));
    QApplication::sendEvent(key, &leave);
    key->on_setChangobj(nullptr);
}

void TestKeyboardButton::pressMatrix()
{
    QMultifunKeyButton *key = Key(QStringLiteral("M"));
    QSignalSpy diy(m_board, &QMultifunKeyBoard::ButtonDiyColorChange);
    // right click on page 0 without an assignment: no backup, no save
    QTest::mouseClick(key, Qt::RightButton);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("Products/QK75/UserConfig/.TempBase.xml"))));
    m_board->CurrentPage = 1;
    LayoutEffectTable effects;
    effects.insert(81, LayoutEffectEntry());
    effects.insert(97, LayoutEffectEntry());
    m_page->LightPage()->BuildEffectList(effects, QString(), 17, 4, 4);
    m_page->LightPage()->SelectEffect(97);
    m_page->SetDisplayOn(true);
    struct Case { uchar r, g, b; Qt::MouseButton button; bool emits; uchar r2, g2, b2; };
    const QList<Case> cases = {{1, 2, 2, Qt::RightButton, false, 1, 2, 2}, {1, 2, 3, Qt::RightButton, true, 0, 0, 0},
                               {0, 0, 255, Qt::LeftButton, false, 0, 0, 255}, {9, 0, 0, Qt::LeftButton, true, 0, 0, 255}};
    for (const Case &c : cases) {
        key->R = c.r, key->G = c.g, key->B = c.b;
        const int before = diy.count();
        QTest::mouseClick(key, c.button);
        QCOMPARE(diy.count() - before, c.emits ? 1 : 0);
        QCOMPARE(QList<int>({key->R, key->G, key->B}), QList<int>({c.r2, c.g2, c.b2}));
    }
    QCOMPARE(diy.last().value(0).toInt(), int(key->Diypos));
    // not painting while another effect is chosen
    m_page->LightPage()->SelectEffect(81);
    key->R = 9;
    QTest::mouseClick(key, Qt::LeftButton);
    QCOMPARE(int(key->R), 9);
}

// The sub-page left and the new page decide what the audio capture does.
void TestKeyboardButton::pageSwitches()
{
    AudioMonitor *audio = m_board->Audio();
    QCOMPARE(AudioMonitor::instance(), audio);
    struct Case { uchar left, page; bool stops, starts; bool soft; };
    const QList<Case> cases = {{1, 0, true, false, false}, {1, 1, true, false, false}, {2, 1, true, false, false},
                               {1, 2, false, true, false}, {2, 2, false, true, true}, {2, 4, false, false, false},
                               {3, 2, false, false, false}};
    for (const Case &c : cases) {
        // An effect chosen, its capture stopped: a stop deletes it, a start runs the capture again.
        audio->on_SetAudioEffectModel(171, false, 30, 200, 100, 50, 0.0, 0.0);
        QVERIFY(audio->CurrentEffect());
        audio->StopCapture();
        audio->SetSoftDisplay(!c.soft);
        m_page->LightSubPage = c.left;
        Q_EMIT m_page->PageChange(c.page);
        QCOMPARE(int(m_board->CurrentPage), int(c.page));
        QCOMPARE(audio->CurrentEffect() == nullptr, c.stops);
        QCOMPARE(audio->isRunning(), c.starts);
        if (c.left == 2 && c.page != 1)
            QCOMPARE(audio->SoftDisplay(), c.soft);
    }
    audio->on_StopGrabEffct();
    QVERIFY(!audio->isRunning());
    m_board->on_PageChange(0); // not from the page: nothing
    QCOMPARE(int(m_board->CurrentPage), 2);
}

QTEST_MAIN(TestKeyboardButton)
#include "tst_keyboard_button.moc"
