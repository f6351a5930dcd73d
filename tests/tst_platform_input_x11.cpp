// The system-wide capture on a real X server (Xvfb): keys and buttons injected with XTest arrive
// through RECORD, the hooks and the event list as the right 4-byte records.
#include "app/MainWidget.h"
#include "macros/QEditMacroPage_Iner.h"
#include "macros/QEditPage.h"
#include "macros/QJsonConfing.h"
#include "macros/QKeyHook.h"
#include "macros/QMouseHook.h"
#include "platform/linux/X11InputCapture.h"
#include "tests/support/TestProgramDir.h"
#include "tests/support/XvfbDisplay.h"

#include <QCheckBox>
#include <QPushButton>
#include <QtTest>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

class TestPlatformInputX11 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void injectedInputBecomesRecords();
    void editorRecordsIntoItsFile();
    void noServer();

private:
    XvfbDisplay *m_xvfb = nullptr;
    Display *m_inject = nullptr;
};

void TestPlatformInputX11::initTestCase()
{
    m_xvfb = new XvfbDisplay;
    if (m_xvfb->Name().isEmpty())
        QSKIP(qPrintable(m_xvfb->Why()));
    m_inject = XOpenDisplay(m_xvfb->Name().constData());
    QVERIFY2(m_inject, m_xvfb->Name().constData());
    int a, b, c, d;
    QVERIFY(XTestQueryExtension(m_inject, &a, &b, &c, &d));
}

void TestPlatformInputX11::cleanupTestCase()
{
    GlobalInputCapture::SetInstance(nullptr);
    if (m_inject)
        XCloseDisplay(m_inject);
    delete m_xvfb;
}

void TestPlatformInputX11::injectedInputBecomesRecords()
{
    TestProgramDir dir;
    GlobalInputCapture::SetInstance(std::make_unique<X11InputCapture>(m_xvfb->Name()));
    QWidget page;
    auto *list = new QEditMacroPage_Iner(&page);
    list->on_ActivatestudionTime(false);
    QVERIFY(list->StartHooks());
    QSignalSpy keys(QKeyHook::Instance(), &QKeyHook::HookKeyCodeValue);
    QSignalSpy buttons(QMouseHook::Instance(), &QMouseHook::HookMouseValue);

    XTestFakeKeyEvent(m_inject, 38, True, CurrentTime); // A, held 120 ms
    XSync(m_inject, False);
    QTest::qWait(120);
    XTestFakeKeyEvent(m_inject, 38, False, CurrentTime);
    XTestFakeKeyEvent(m_inject, 104, True, CurrentTime); // keypad Enter
    XTestFakeKeyEvent(m_inject, 104, False, CurrentTime);
    for (uint button : {1u, 2u, 3u, 8u, 9u}) {
        XTestFakeButtonEvent(m_inject, button, True, CurrentTime);
        XTestFakeButtonEvent(m_inject, button, False, CurrentTime);
    }
    XSync(m_inject, False);
    QTRY_COMPARE_WITH_TIMEOUT(buttons.count(), 10, 5000);
    QCOMPARE(keys.count(), 4);
    list->StopHooks();

    const QByteArray records = list->EncodeMacro();
    QCOMPARE(records.size(), 14 * 4);
    auto delay = [&](int i) { return (uint(uchar(records[4 * i]) & 0x0F) << 16) | (uint(uchar(records[4 * i + 1])) << 8) | uchar(records[4 * i + 2]); };
    // kind and code of each record, without the delay
    QByteArray kinds;
    for (int i = 0; i < 14; ++i)
        kinds.append(char(uchar(records[4 * i]) & 0xF0)).append(records[4 * i + 3]);
    QCOMPARE(kinds.toHex(), QByteArray("0004" "8004" "0058" "8058" "2001" "a001" "2004" "a004" "2002" "a002" "2008" "a008" "2010" "a010"));
    QCOMPARE(delay(0), 0u); // the first key-down after the start
    QVERIFY2(qAbs(int(delay(1)) - 120) <= 30, qPrintable(QString::number(delay(1))));
    for (int i = 2; i < 14; ++i)
        QVERIFY2(delay(i) < 1000, qPrintable(QStringLiteral("record %1: %2 ms").arg(i).arg(delay(i))));
}

void TestPlatformInputX11::editorRecordsIntoItsFile()
{
    TestProgramDir dir;
    GlobalInputCapture::SetInstance(std::make_unique<X11InputCapture>(m_xvfb->Name()));
    MainWidget main;
    main.OpenKeyboardPage(QStringLiteral("QK75"));
    main.on_TabChangeEditkeysDefinition(QStringLiteral("typed"), false);
    QEditPage *page = QEditPage::Instance();
    page->findChild<QCheckBox *>(QStringLiteral("ButTool"))->click();
    QVERIFY(page->IsRecordButtonChecked());
    for (uint keycode : {38u, 56u}) { // A, B
        XTestFakeKeyEvent(m_inject, keycode, True, CurrentTime);
        XTestFakeKeyEvent(m_inject, keycode, False, CurrentTime);
    }
    XSync(m_inject, False);
    QTRY_COMPARE_WITH_TIMEOUT(page->EventList()->Rows().size(), 4, 5000);
    page->findChild<QCheckBox *>(QStringLiteral("ButTool"))->click();
    page->findChild<QPushButton *>(QStringLiteral("ButSeven"))->click();
    int way = 0, one = 0;
    const QByteArray records = QJsonConfing::MacroRecords(QJsonConfing().ReadMacroData(QStringLiteral("typed"), &way, &one));
    // The standard delay of 50 ms stands in for the typed times.
    QCOMPARE(records.toHex(), QByteArray("00003204" "80003204" "00003205" "80003205"));
}

void TestPlatformInputX11::noServer()
{
    TestProgramDir dir;
    GlobalInputCapture::SetInstance(std::make_unique<X11InputCapture>(QByteArray(":4711")));
    QVERIFY(!QKeyHook::Instance()->InstallHook());
    QVERIFY(!QKeyHook::Instance()->IsHooked());
    QVERIFY(!QMouseHook::Instance()->InstallHook());
    QCOMPARE(dir.readFile("Log.txt").count("capture unavailable: no X server at \":4711\""), 2);
}

QTEST_MAIN(TestPlatformInputX11)
#include "tst_platform_input_x11.moc"
