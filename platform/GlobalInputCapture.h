#pragma once
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

// System-wide capture of key and mouse-button events, whatever window has the focus, with the
// window system's millisecond time stamps (32 bits, wrapping). It observes only: it cannot keep
// an event from its target. Keyboard and pointer capture are counted separately, so several
// users can share them; events are delivered on the GUI thread in the server's order and only
// while some user holds the capture of their kind.
class GlobalInputCapture : public QObject
{
    Q_OBJECT
public:
    using Factory = std::function<std::unique_ptr<GlobalInputCapture>()>;

    // The capture of this program: made by the factory of the build's backend on first use, or
    // one whose starts always fail.
    static GlobalInputCapture *Instance();
    // The backend's factory; set at program start by the linked backend.
    static bool SetFactory(Factory factory);
    // Replaces the instance (tests); the previous one is deleted.
    static void SetInstance(std::unique_ptr<GlobalInputCapture> capture);

    // True when the capture of that kind runs (now or already for another user); on failure
    // LastError says why.
    bool StartKeyboard();
    void StopKeyboard();
    bool StartPointer();
    void StopPointer();
    bool KeyboardRunning() const { return m_keyboardUsers > 0; }
    bool PointerRunning() const { return m_pointerUsers > 0; }
    QString LastError() const { return m_error; }

Q_SIGNALS:
    // keyCode: Windows virtual-key code of the physical key; extended: keypad Enter.
    void keyInput(bool down, uint keyCode, bool extended, uint timeMs);
    // message: 513..524 button and wheel messages; mouseData: side button or wheel word.
    void pointerInput(uint message, uint mouseData, uint timeMs, const QPoint &globalPos);

protected:
    explicit GlobalInputCapture(QObject *parent = nullptr);
    // Turn delivery of a kind on or off; false (with SetError) when it cannot run.
    virtual bool EnableKeyboard(bool on) = 0;
    virtual bool EnablePointer(bool on) = 0;
    void SetError(const QString &error) { m_error = error; }

private:
    int m_keyboardUsers = 0;
    int m_pointerUsers = 0;
    QString m_error;
};
