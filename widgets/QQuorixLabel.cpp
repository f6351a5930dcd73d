#include "widgets/QQuorixLabel.h"

#include <QPainter>

namespace {
const int kTextInset = 15;
}

QQuorixLabel::QQuorixLabel(QWidget *parent) : QLabel(parent) {}

QSize QQuorixLabel::sizeHint() const
{
    return QLabel::sizeHint() + QSize(kTextInset, 0);
}

QSize QQuorixLabel::minimumSizeHint() const
{
    return QLabel::minimumSizeHint() + QSize(kTextInset, 0);
}

void QQuorixLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int h = height();
    const int band = int(0.8 * h);
    const int top = h - band;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(48, 82, 132));
    p.drawRoundedRect(QRect(0, top, 6, band), 3, 3);
    p.setPen(Qt::white);
    p.drawText(QRect(kTextInset, top, width() - kTextInset, band), Qt::AlignLeft | Qt::AlignVCenter, text());
}
