#include "macros/QKeyHook.h"
#include "macros/MacroEventRecord.h"
#include "platform/GlobalInputCapture.h"

#include <QCoreApplication>
#include <QEvent>

QKeyHook *QKeyHook::Instance()
{
    static QKeyHook *hook = new QKeyHook;
    return hook;
}

bool QKeyHook::InstallHook()
{
    if (m_users == 0) {
        GlobalInputCapture *capture = GlobalInputCapture::Instance();
        if (!capture->StartKeyboard())
            return false;
        connect(capture, &GlobalInputCapture::keyInput, this, &QKeyHook::onKeyInput);
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installEventFilter(this);
        Reset();
    }
    ++m_users;
    return true;
}

void QKeyHook::UnHook()
{
    if (m_users == 0 || --m_users > 0)
        return;
    GlobalInputCapture *capture = GlobalInputCapture::Instance();
    disconnect(capture, &GlobalInputCapture::keyInput, this, &QKeyHook::onKeyInput);
    capture->StopKeyboard();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    Reset();
}

void QKeyHook::Reset()
{
    m_pressed.clear();
    m_hasLastDown = false;
    m_lastDown = 0;
}

void QKeyHook::onKeyInput(bool down, uint keyCode, bool extended, uint timeMs)
{
    KeyHookRecord r;
    r.message = down ? 256 : 257;
    r.vkCode = keyCode;
    r.flags = (extended ? 0x01 : 0) | (down ? 0 : 0x80);
    r.time = timeMs;
    KeyboardProc(0, r);
}

bool QKeyHook::KeyboardProc(int code, const KeyHookRecord &event)
{
    Q_UNUSED(code);
    uint key = event.vkCode;
    if (event.message == 256 || event.message == 260) {
        if (key == 13 && event.flags == 0x01)
            key = kKeypadEnter;
        if (!m_pressed.contains(key)) { // a held key repeats its key-down: report it once
            // Unsigned difference: the time stamps wrap at 32 bits.
            const uint d = m_hasLastDown ? event.time - m_lastDown : 0;
            m_hasLastDown = true;
            m_lastDown = event.time;
            m_pressed.insert(key, event.time);
            Q_EMIT HookKeyCodeValue(true, key, d);
        }
    } else if (event.message == 257 || event.message == 261) {
        if (key == 13 && event.flags == 0x81)
            key = kKeypadEnter;
        const auto it = m_pressed.find(key);
        if (it != m_pressed.end()) {
            const uint held = event.time - it.value();
            m_pressed.erase(it);
            Q_EMIT HookKeyCodeValue(false, key, held);
        }
    }
    return m_block != 0;
}

bool QKeyHook::eventFilter(QObject *watched, QEvent *event)
{
    // The capture only observes: the program's own windows are kept from the keys here, so that
    // for instance Space does not toggle the focused record button.
    if (m_users > 0 && m_block) {
        const QEvent::Type t = event->type();
        if (t == QEvent::KeyPress || t == QEvent::KeyRelease || t == QEvent::ShortcutOverride)
            return true;
    }
    return QObject::eventFilter(watched, event);
}
