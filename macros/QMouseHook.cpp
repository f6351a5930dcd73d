#include "macros/QMouseHook.h"
#include "macros/QEditPage.h"
#include "platform/GlobalInputCapture.h"

#include <QCoreApplication>
#include <QMouseEvent>

QMouseHook *QMouseHook::Instance()
{
    static QMouseHook *hook = new QMouseHook;
    return hook;
}

bool QMouseHook::InstallHook()
{
    if (m_users == 0) {
        GlobalInputCapture *capture = GlobalInputCapture::Instance();
        if (!capture->StartPointer())
            return false;
        connect(capture, &GlobalInputCapture::pointerInput, this, &QMouseHook::onPointerInput);
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installEventFilter(this);
        Reset();
    }
    ++m_users;
    return true;
}

void QMouseHook::UnHook()
{
    if (m_users == 0 || --m_users > 0)
        return;
    GlobalInputCapture *capture = GlobalInputCapture::Instance();
    disconnect(capture, &GlobalInputCapture::pointerInput, this, &QMouseHook::onPointerInput);
    capture->StopPointer();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    Reset();
}

void QMouseHook::Reset()
{
    m_pressed.clear();
    m_hasLast = false;
    m_last = 0;
}

void QMouseHook::onPointerInput(uint message, uint mouseData, uint timeMs)
{
    MouseHookRecord r;
    r.message = message;
    r.mouseData = mouseData;
    r.time = timeMs;
    MouseProc(0, r);
}

bool QMouseHook::OverRecordButton()
{
    QEditPage *page = QEditPage::Instance();
    return page && page->IsRecordButtonHovered();
}

bool QMouseHook::MouseProc(int code, const MouseHookRecord &event)
{
    Q_UNUSED(code);
    const uint m = event.message;
    if (m < 513 || m > 524)
        return false;
    // Unsigned difference: the time stamps wrap at 32 bits.
    const uint d = m_hasLast ? event.time - m_last : 0;
    m_hasLast = true;
    m_last = event.time;
    switch (m) {
    case 523: case 524:
        Q_EMIT HookMouseValue(m, event.mouseData, d);
        return true;
    case 513: case 516: case 519:
        if (m_pressed.contains(m))
            return false;
        m_pressed.insert(m, event.time);
        Q_EMIT HookMouseValue(m, 0, d);
        return !(m == 513 && OverRecordButton());
    case 514: case 517: case 520: {
        const auto it = m_pressed.find(m - 1);
        if (it == m_pressed.end())
            return false; // pressed before the hook: not ours to report
        const uint held = event.time - it.value();
        m_pressed.erase(it);
        Q_EMIT HookMouseValue(m, 0, held);
        return !(m == 514 && OverRecordButton());
    }
    case 522:
        Q_EMIT HookMouseWheel(qint32(event.mouseData) > 0);
        return true;
    default:
        return false; // double clicks
    }
}

bool QMouseHook::eventFilter(QObject *watched, QEvent *event)
{
    // The capture only observes: the program's own windows are kept from the clicks here, as
    // the hook would swallow them; left clicks over the record button still reach it.
    if (m_users > 0) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: {
            auto *me = static_cast<QMouseEvent *>(event);
            if (me->button() == Qt::LeftButton && OverRecordButton())
                break;
            return true;
        }
        case QEvent::Wheel:
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}
