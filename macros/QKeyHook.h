#pragma once
#include <QHash>
#include <QObject>

// One keyboard event as the system's low-level hook sees it.
struct KeyHookRecord
{
    uint message = 0; // 256/260 down, 257/261 up
    uint vkCode = 0;
    uint flags = 0; // 0x01 extended, 0x80 released
    uint time = 0;  // ms, wrapping at 32 bits
};

// The keyboard side of macro recording: a system-wide key capture that reports each key once
// when it goes down (with the time since the previous key-down) and once when it comes up (with
// the time it was held). Shared: each InstallHook needs its own UnHook, and the capture stops
// with the last one. While installed with the block switch on, the program's own windows get no
// key events (the capture itself cannot keep keys from other programs).
class QKeyHook : public QObject
{
    Q_OBJECT
public:
    static QKeyHook *Instance();

    // False (and IsHooked false, one log line) when no system-wide capture is available.
    bool InstallHook();
    bool IsHooked() const { return m_users > 0; }
    void UnHook();
    void SetKeyBlock(uchar block) { m_block = block; }
    uchar KeyBlock() const { return m_block; }

    // Reports the event when it is one; returns true when it is to be swallowed.
    bool KeyboardProc(int code, const KeyHookRecord &event);

Q_SIGNALS:
    void HookKeyCodeValue(bool Press, uint Keycode, uint subtime);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QKeyHook() = default;
    void onKeyInput(bool down, uint keyCode, bool extended, uint timeMs);
    void Reset();

    int m_users = 0;
    QHash<uint, uint> m_pressed; // key code -> time of its key-down
    bool m_hasLastDown = false;
    uint m_lastDown = 0;
    uchar m_block = 1;
};
