#include "macros/QEditMacroItemBase.h"
#include "macros/QEditMacroPage_Iner.h"
#include "macros/QEditPage.h"

#include <QMouseEvent>
#include <QTimer>

QEditMacroItemBase::QEditMacroItemBase(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(50, 50);
    resize(50, 50);
    installEventFilter(this);
}

void QEditMacroItemBase::SetItemData(const QString &, bool, uint, uint) {}

void QEditMacroItemBase::SetCheck(bool check)
{
    m_check = check;
    update();
}

void QEditMacroItemBase::StartFade()
{
    // No fade over a running one, nor while the delay rows are shown.
    if (m_fade || ClassTyp() > 2)
        return;
    auto *list = qobject_cast<QEditMacroPage_Iner *>(parentWidget());
    if (list && list->DelayRowsShown())
        return;
    m_alpha = 100;
    m_fade = new QTimer(this);
    connect(m_fade, &QTimer::timeout, this, [this] {
        m_alpha = qMin(255, m_alpha + 5);
        update();
        if (m_alpha >= 255) {
            m_fade->deleteLater();
            m_fade = nullptr;
        }
    });
    m_fade->start(20);
}

bool QEditMacroItemBase::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != this)
        return QWidget::eventFilter(watched, event);
    auto *list = qobject_cast<QEditMacroPage_Iner *>(parentWidget());
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::Leave:
        StartFade();
        break;
    case QEvent::MouseButtonPress: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::RightButton && ClassTyp() <= 2)
            Q_EMIT Rightchec(this);
        else if (me->button() == Qt::LeftButton && list)
            list->PluginPressEvent(this);
        return ClassTyp() <= 2;
    }
    case QEvent::MouseMove: {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->buttons() != Qt::NoButton && list) {
            m_dragging = true;
            list->PluginMoveEvent(this, me->globalPos());
        }
        return ClassTyp() <= 2;
    }
    case QEvent::MouseButtonRelease:
        if (m_dragging && list) {
            m_dragging = false;
            list->PluginRepressEvent(this);
        }
        return ClassTyp() <= 2;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
