#pragma once
#include <QHash>
#include <QObject>

// One mouse event as the system's low-level hook sees it.
struct MouseHookRecord
{
    uint message = 0;   // 513..524
    uint mouseData = 0; // side button in the high word (0x10000, 0x20000); wheel delta for 522
    uint time = 0;      // ms, wrapping at 32 bits
};

// The mouse side of macro recording: a system-wide button capture that reports presses and
// releases with the time since the previous mouse event (releases: the time held). While it is
// installed the program's own windows get no clicks, except left clicks on the record button.
class QMouseHook : public QObject
{
    Q_OBJECT
public:
    static QMouseHook *Instance();

    // False (and IsHooked false, one log line) when no system-wide capture is available.
    bool InstallHook();
    bool IsHooked() const { return m_users > 0; }
    void UnHook();

    // Reports the event when it is one; returns true when it is to be swallowed.
    bool MouseProc(int code, const MouseHookRecord &event);

Q_SIGNALS:
    void HookMouseValue(uint Button, uint SideChain, uint subtime);
    void HookMouseWheel(bool up);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QMouseHook() = default;
    void onPointerInput(uint message, uint mouseData, uint timeMs);
    static bool OverRecordButton();
    void Reset();

    int m_users = 0;
    QHash<uint, uint> m_pressed; // down message -> time of the press
    bool m_hasLast = false;
    uint m_last = 0;
};
