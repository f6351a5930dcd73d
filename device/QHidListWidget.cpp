#include "device/QHidListWidget.h"

QHidListWidget::QHidListWidget(QWidget *parent) : QWidget(parent)
{
}

QList<QWidget *> QHidListWidget::VisibleWidgets() const
{
    QList<QWidget *> out;
    for (QWidget *w : m_widgets)
        if (!w->isHidden())
            out.append(w);
    return out;
}

void QHidListWidget::Relayout()
{
    const QList<QWidget *> tiles = VisibleWidgets();
    if (tiles.isEmpty()) {
        setMinimumHeight(0); // nothing left to scroll to
        return;
    }
    const int W = width();
    const int H = height();
    const int tileWidth = static_cast<int>((W / m_columns) * 0.8);
    const int tileHeight = static_cast<int>(tileWidth * 0.76);
    for (QWidget *w : tiles)
        w->resize(tileWidth, tileHeight);
    m_hGap = static_cast<int>(((W - m_columns * tileWidth) / m_columns) * 0.75);
    const int rowStep = static_cast<int>((W / m_columns + m_hGap) * 0.8);

    // Each new row sits one tile height plus the spacing below the previous one, so that a
    // third row never lands on the second.
    int y = 0;
    int right = 0;
    int indexInRow = 0;
    for (QWidget *w : tiles) {
        if (indexInRow > 0 && (indexInRow >= m_columns || w->width() + m_hGap + right >= W)) {
            y += m_vSpacing + tileHeight;
            right = 0;
            indexInRow = 0;
        }
        w->move(m_hGap + right, m_vSpacing + y);
        right = w->x() + w->width();
        ++indexInRow;
    }
    // The bounds also come down when tiles went, so that a scroll area holding the list
    // drops its scroll bar once the rest fit.
    const int needed = m_vSpacing + y + rowStep;
    if (H < needed || minimumHeight() > needed) {
        setMinimumHeight(needed);
        setMaximumHeight(y + 3 * m_vSpacing + rowStep);
    }
}

void QHidListWidget::on_PushWidget(QWidget *w)
{
    if (!w)
        return;
    if (w->parentWidget() != this)
        w->setParent(this);
    w->show();
    if (!m_widgets.contains(w))
        m_widgets.append(w);
    Relayout();
}

void QHidListWidget::on_ReMoveWidget(QWidget *w, bool deleteva)
{
    if (!w || !m_widgets.contains(w)) {
        Relayout();
        return;
    }
    w->hide();
    m_widgets.removeAll(w);
    Relayout();
    if (deleteva)
        delete w;
}

void QHidListWidget::on_ReMoveWidget(QWidget *w)
{
    on_ReMoveWidget(w, false);
}

void QHidListWidget::on_HideWidget(QWidget *w)
{
    // The only tile stays on screen, so that a sleeping single device is still shown.
    if (m_widgets.size() < 2 || !m_widgets.contains(w))
        return;
    w->hide();
    if (VisibleWidgets().isEmpty())
        return;
    Relayout();
}

void QHidListWidget::on_ShowWidget(QWidget *w)
{
    if (!w || !m_widgets.contains(w))
        return;
    w->show();
    Relayout();
}

void QHidListWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Relayout();
}
