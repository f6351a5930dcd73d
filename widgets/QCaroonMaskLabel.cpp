#include "widgets/QCaroonMaskLabel.h"

#include <QEvent>
#include <QPainter>
#include <QTimer>

QPointer<QCaroonMaskLabel> QCaroonMaskLabel::s_shared;

QCaroonMaskLabel::QCaroonMaskLabel(QWidget *parent)
    : QLabel(parent)
    , m_timer(new QTimer(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    connect(m_timer, &QTimer::timeout, this, &QCaroonMaskLabel::handleTimeout);
    if (parent) {
        resize(parent->size());
        parent->installEventFilter(this);
    }
    hide();
}

QCaroonMaskLabel *QCaroonMaskLabel::Current()
{
    return s_shared;
}

void QCaroonMaskLabel::ShowOver(QWidget *target)
{
    if (!target)
        return;
    // A mask still fading over another widget cannot cover this one: it goes first.
    if (s_shared && s_shared->parentWidget() != target)
        s_shared->finish();
    if (!s_shared)
        s_shared = new QCaroonMaskLabel(target);
    QCaroonMaskLabel *mask = s_shared;
    mask->m_opacity = 0.25f;
    mask->m_snapshot = target->grab();
    mask->setPixmap(mask->m_snapshot);
    mask->resize(target->size());
    mask->raise();
    mask->show();
    mask->m_timer->start(50);
}

void QCaroonMaskLabel::handleTimeout()
{
    m_opacity -= 0.1f;
    // Ends here and not only when painted: a hidden target never paints its mask.
    if (m_opacity <= 0.0f) {
        finish();
        return;
    }
    update();
}

void QCaroonMaskLabel::finish()
{
    m_timer->stop();
    if (s_shared == this)
        s_shared.clear();
    hide();
    close();
}

void QCaroonMaskLabel::paintEvent(QPaintEvent *)
{
    if (m_opacity <= 0.0f)
        return;
    QPainter painter(this);
    painter.setBrush(Qt::transparent);
    painter.setOpacity(m_opacity);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_snapshot);
}

bool QCaroonMaskLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        resize(parentWidget()->size());
    return QLabel::eventFilter(watched, event);
}
