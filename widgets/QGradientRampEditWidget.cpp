#include "widgets/QGradientRampEditWidget.h"

#include <QMouseEvent>

QGradientRampEditWidget::QGradientRampEditWidget(QWidget *parent) : QLabel(parent)
{
    m_marker = new QLabel(this);
    m_marker->resize(13, 13);
    m_marker->setStyleSheet(QStringLiteral("border:2px solid #ffffff;border-radius:6px;background-color: rgba(0, 0, 0, 0);"));
    m_marker->hide();
}

void QGradientRampEditWidget::centreMarker()
{
    if (m_centreHorizontally)
        m_marker->move((width() - m_marker->width()) / 2, m_marker->y());
}

void QGradientRampEditWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_marker->move(event->pos() + QPoint(2, 2));
    m_marker->show();
    m_markerPlaced = true;
    if (!m_markerVisible) {
        m_marker->hide();
        return;
    }
    centreMarker();
}

void QGradientRampEditWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    if (!m_markerVisible) {
        m_marker->hide();
        return;
    }
    m_marker->move(event->pos() - QPoint(2, 2));
    m_marker->show();
    m_markerPlaced = true;
    centreMarker();
}

void QGradientRampEditWidget::mouseReleaseEvent(QMouseEvent *event)
{
    // A release dragged outside would pick whatever lies under the cursor there: only a
    // release inside counts as a click.
    if (event->button() == Qt::LeftButton && m_pressed && rect().contains(event->pos()))
        Q_EMIT LeftClick();
    m_markerPlaced = false;
    m_pressed = false;
}
