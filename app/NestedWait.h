#pragma once
#include <QObject>
#include <functional>

class QDialog;
class QEventLoop;

// Every wait that runs events on the GUI thread (DelayMs, questions, messages, dialogs, reply
// waits) opens a Scope for as long as it runs. While one is open, what would free a page, a row,
// a key button or a device record (a device's removal or sleep, and the page leave they cause)
// is held, and runs once the outermost wait has returned to its caller. Code resuming after a
// wait therefore finds everything it held still allocated; a device that went meanwhile is
// already gone to every lookup, and an answer given in a wait whose device went counts as No.
// The window keeps working in a wait; what the user asks that would free such things (leaving
// the page, opening another device's page, closing the program) follows the same hold.
class NestedWait
{
public:
    class Scope
    {
    public:
        // The place that waits, for the test hook; the wait helpers pass their caller's.
        explicit Scope(const char *file = __builtin_FILE(), int line = __builtin_LINE());
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
        // The device whose page was open when the wait began is gone now (removed, asleep or its
        // page left), or had gone already: nothing said in the wait may act on it any more.
        // Begun without an open device page (the device list, the settings page), it never is.
        bool DeviceWent() const;

    private:
        bool m_counted = false;
        bool m_wentBefore = false;
        const void *m_device = nullptr;
    };

    // A wait is open on the GUI thread.
    static bool Open();
    // Runs `teardown` once the outermost wait has returned to its caller (from the event loop,
    // in the order held), as long as `context` lives.
    static void AfterWaits(QObject *context, std::function<void()> teardown);
    // What frees held things, asked where a wait may be open: inside one, `action` runs once
    // the outermost wait has returned and true tells the caller to stop there; false with no
    // wait open. With `once`, an action still held is not held a second time (a double click).
    static bool Held(QObject *context, std::function<void()> action, bool *once = nullptr);

    // The program's end was asked (the window closed, the tray's exit) while something waited:
    // every open wait returns early, later ones at once, and loops of waits stop looping, so
    // that the end, run through AfterWaits, comes soon. Open dialogs run by ExecDialog are
    // rejected, which is their Cancel or No. A new main window clears it.
    static void RequestEnd();
    // The end asked where a wait may be open: with one open, the end is requested and `end`
    // runs once the outermost wait has returned, and true tells the caller to stop there;
    // false with no wait open, and the caller ends at once.
    static bool EndAfterWaits(QObject *context, std::function<void()> end);
    static bool EndRequested();
    static void ClearEndRequest();
    // Runs `loop` for a wait on the GUI thread; it returns early once the end is asked.
    static void Exec(QEventLoop &loop);
    // Runs `dialog` modally as QDialog::exec does (the caller opens the Scope where it is a
    // wait). The end asked while it opens or runs rejects it; with the end asked before, or
    // during a wait in its opening, it does not open (or is closed at once) and gives Rejected.
    static int ExecDialog(QDialog &dialog);

    // Tests: called on entering every wait, with the place that waits.
    using EnterHook = std::function<void(const char *file, int line)>;
    static void SetEnterHook(EnterHook hook);
};
