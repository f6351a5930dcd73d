#include "platform/ApplicationMouseSource.h"
#include "platform/GlobalMouseWatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>

ApplicationMouseSource::ApplicationMouseSource() = default;

ApplicationMouseSource::~ApplicationMouseSource()
{
    Stop();
}

void ApplicationMouseSource::Start(GlobalMouseWatcher &watcher)
{
    m_watcher = &watcher;
    if (!m_installed && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        m_installed = true;
    }
}

void ApplicationMouseSource::Stop()
{
    if (m_installed && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
    m_installed = false;
    m_watcher = nullptr;
}

bool ApplicationMouseSource::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_watcher)
        return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate) {
        m_watcher->DeliverPress(NowherePos(), Qt::LeftButton);
        return false;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::NonClientAreaMouseButtonPress)
        return false;
    // The same press also passes the window object on its way to the widget: take widgets only.
    if (!watched->isWidgetType())
        return false;
    auto *me = static_cast<QMouseEvent *>(event);
    const QPoint pos = me->globalPos();
    if (me->timestamp() == m_lastStamp && pos == m_lastPos && int(me->button()) == m_lastButton && m_lastStamp != 0)
        return false;
    m_lastStamp = me->timestamp();
    m_lastPos = pos;
    m_lastButton = int(me->button());
    return m_watcher->DeliverPress(pos, me->button());
}
