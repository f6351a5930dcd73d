// The key and mouse hooks of macro recording, driven by a fake system-wide capture.
#include "macros/MacroEventRecord.h"
#include "macros/QEditPage.h"
#include "macros/QKeyHook.h"
#include "macros/QMouseHook.h"
#include "tests/support/FakeInputCapture.h"

#include <QPushButton>
#include <QtTest>

struct KeyStep
{
    bool down;
    uint vk;
    bool extended;
    uint time;
};
using KeySteps = QVector<KeyStep>;
using Reports = QVector<QVector<uint>>; // (down or message, code or data, delay)
Q_DECLARE_METATYPE(KeySteps)
Q_DECLARE_METATYPE(Reports)

class TestMacroHooks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void keyReports_data();
    void keyReports();
    void mouseReportsAndDecisions();
    void sharedKeyHook();
    void noCapture();
    void ownWindowsKeptFromInput();

private:
    FakeInputCapture *m_fake = nullptr;
};

void TestMacroHooks::init()
{
    m_fake = FakeInputCapture::Install();
}

void TestMacroHooks::cleanup()
{
    while (QKeyHook::Instance()->IsHooked())
        QKeyHook::Instance()->UnHook();
    while (QMouseHook::Instance()->IsHooked())
        QMouseHook::Instance()->UnHook();
    QKeyHook::Instance()->SetKeyBlock(1);
}

void TestMacroHooks::keyReports_data()
{
    QTest::addColumn<KeySteps>("steps");
    QTest::addColumn<Reports>("reports");
    QTest::newRow("held key reported once")
        << KeySteps{{true, 65, false, 1000}, {true, 65, false, 1030}, {true, 65, false, 1060}, {false, 65, false, 1120}}
        << Reports{{1, 65, 0}, {0, 65, 120}};
    QTest::newRow("release without press passed on")
        << KeySteps{{false, 66, false, 10}, {true, 67, false, 20}}
        << Reports{{1, 67, 0}};
    QTest::newRow("key-down delay runs from the previous key-down")
        << KeySteps{{true, 65, false, 100}, {false, 65, false, 150}, {true, 66, false, 400}, {false, 66, false, 410}}
        << Reports{{1, 65, 0}, {0, 65, 50}, {1, 66, 300}, {0, 66, 10}};
    QTest::newRow("keypad Enter and main Enter")
        << KeySteps{{true, 13, true, 5}, {false, 13, true, 9}, {true, 13, false, 12}, {false, 13, false, 14}}
        << Reports{{1, kKeypadEnter, 0}, {0, kKeypadEnter, 4}, {1, 13, 7}, {0, 13, 2}};
    QTest::newRow("time stamps wrap")
        << KeySteps{{true, 65, false, 0xFFFFFFF0u}, {true, 66, false, 0x10}, {false, 65, false, 0x20}}
        << Reports{{1, 65, 0}, {1, 66, 32}, {0, 65, 48}};
    QTest::newRow("a key-down at time 0 counts as the last one")
        << KeySteps{{true, 65, false, 0}, {true, 66, false, 7}}
        << Reports{{1, 65, 0}, {1, 66, 7}};
}

void TestMacroHooks::keyReports()
{
    QFETCH(KeySteps, steps);
    QFETCH(Reports, reports);
    QKeyHook *hook = QKeyHook::Instance();
    QVERIFY(hook->InstallHook());
    QSignalSpy spy(hook, &QKeyHook::HookKeyCodeValue);
    for (const KeyStep &s : steps)
        m_fake->Key(s.down, s.vk, s.time, s.extended);
    Reports got;
    for (const QList<QVariant> &a : spy)
        got.append({a.at(0).toBool() ? 1u : 0u, a.at(1).toUInt(), a.at(2).toUInt()});
    QCOMPARE(got, reports);
    // the decision is the block switch, whatever the event
    KeyHookRecord r{256, 90, 0, 5000};
    QCOMPARE(hook->KeyboardProc(0, r), true);
    hook->SetKeyBlock(0);
    r.message = 257;
    QCOMPARE(hook->KeyboardProc(0, r), false);
    QCOMPARE(spy.count(), reports.size() + 2); // still reported with the block off
}

void TestMacroHooks::mouseReportsAndDecisions()
{
    QEditPage page;
    QMouseHook *hook = QMouseHook::Instance();
    QVERIFY(hook->InstallHook());
    QSignalSpy spy(hook, &QMouseHook::HookMouseValue), wheel(hook, &QMouseHook::HookMouseWheel);
    struct Step
    {
        uint message, data, time;
        bool hover, swallowed;
    };
    const Step steps[] = {
        {514, 0, 0xFFFFFFF0u, false, false}, // released before the hook: passed on, unreported
        {513, 0, 0x10, false, true},         // 32 ms after the previous event: the wrap
        {513, 0, 0x12, false, false},        // a second press of a held button: passed on
        {514, 0, 0x30, false, true},
        {516, 0, 0x40, true, true},          // only the left button passes over the record button
        {517, 0, 0x50, true, true},
        {513, 0, 0x60, true, false},
        {514, 0, 0x61, true, false},
        {523, 0x20000, 0x70, false, true},
        {524, 0x10000, 0x71, false, true},
        {522, 0x00780000, 0x80, false, true},
        {522, 0xFF880000, 0x81, false, true},
        {515, 0, 0x90, false, false},        // double click
        {512, 0, 0x99, false, false},        // not a button message: no time kept
    };
    for (const Step &s : steps) {
        page.SetRecordButtonHovered(s.hover);
        QCOMPARE(hook->MouseProc(0, MouseHookRecord{s.message, s.data, s.time}), s.swallowed);
    }
    Reports got;
    for (const QList<QVariant> &a : spy)
        got.append({a.at(0).toUInt(), a.at(1).toUInt(), a.at(2).toUInt()});
    const Reports want{{513, 0, 32}, {514, 0, 0x20}, {516, 0, 0x10}, {517, 0, 0x10},
                       {513, 0, 0x10}, {514, 0, 1}, {523, 0x20000, 0x0F}, {524, 0x10000, 1}};
    QCOMPARE(got, want);
    QCOMPARE(wheel.count(), 2);
    QCOMPARE(wheel.at(0).at(0).toBool(), true);
    QCOMPARE(wheel.at(1).at(0).toBool(), false);
    // the capture's events take the same path
    m_fake->Button(519, 0xA0);
    QCOMPARE(spy.last().at(0).toUInt(), 519u);
    QCOMPARE(spy.last().at(2).toUInt(), 0xA0u - 0x90u);
}

// The new-macro dialog takes the key hook while a recording holds it: both keep hearing keys
// until each has let go.
void TestMacroHooks::sharedKeyHook()
{
    QKeyHook *hook = QKeyHook::Instance();
    QSignalSpy spy(hook, &QKeyHook::HookKeyCodeValue);
    QVERIFY(hook->InstallHook());
    QVERIFY(hook->InstallHook());
    hook->UnHook();
    QVERIFY(hook->IsHooked());
    QVERIFY(m_fake->KeysOn());
    m_fake->Key(true, 65, 10);
    QCOMPARE(spy.count(), 1);
    hook->UnHook();
    QVERIFY(!hook->IsHooked());
    QVERIFY(!m_fake->KeysOn());
    hook->UnHook(); // one too many changes nothing
    QVERIFY(hook->InstallHook());
    m_fake->Key(true, 65, 20); // a new installation starts with empty tables
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.last().at(2).toUInt(), 0u);
}

void TestMacroHooks::noCapture()
{
    FakeInputCapture::Install(false);
    QVERIFY(!QKeyHook::Instance()->InstallHook());
    QVERIFY(!QKeyHook::Instance()->IsHooked());
    QVERIFY(!QMouseHook::Instance()->InstallHook());
    QVERIFY(!QMouseHook::Instance()->IsHooked());
}

// The capture only observes, so the program keeps its own windows from the input while recording.
void TestMacroHooks::ownWindowsKeptFromInput()
{
    QEditPage page;
    QPushButton button(QStringLiteral("record"));
    button.setCheckable(true);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    button.setFocus();
    QKeyHook *keys = QKeyHook::Instance();
    QVERIFY(keys->InstallHook());
    QTest::keyClick(&button, Qt::Key_Space);
    QVERIFY(!button.isChecked());
    keys->SetKeyBlock(0); // the new-macro dialog lets keys through
    QTest::keyClick(&button, Qt::Key_Space);
    QVERIFY(button.isChecked());
    keys->UnHook();

    QVERIFY(QMouseHook::Instance()->InstallHook());
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(button.isChecked());
    page.SetRecordButtonHovered(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(!button.isChecked());
    QTest::mouseClick(&button, Qt::RightButton);
    QMouseHook::Instance()->UnHook();
    page.SetRecordButtonHovered(false);
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(button.isChecked());
}

QTEST_MAIN(TestMacroHooks)
#include "tst_macro_hooks.moc"
