#include "macros/QKeyValueItem.h"

#include <QPainter>
#include <QPainterPath>

void QKeyValueItem::SetItemData(const QString &name, bool down, uint code, uint delay)
{
    m_name = name;
    m_down = down;
    m_code = code;
    m_delay = delay;
    resize(name.size() >= 4 ? 5 * name.size() + 35 : 35, 35);
    update();
}

QEditMacroItemBase *QKeyValueItem::Clone(QWidget *parent) const
{
    auto *row = new QKeyValueItem(parent);
    row->SetItemData(m_name, m_down, m_code, m_delay);
    row->setGeometry(geometry());
    return row;
}

void QKeyValueItem::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor line = m_check ? QColor(0, 165, 224, Alpha()) : QColor(255, 255, 255, Alpha());
    p.setPen(QPen(line, 1));
    p.setBrush(QColor(30, 32, 36, Alpha()));
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -12);
    p.drawRoundedRect(box, 5, 5);
    QFont f = font();
    f.setBold(true);
    f.setPointSize(10);
    p.setFont(f);
    p.drawText(box, Qt::AlignCenter, m_name);
    // The arrow under the box points down for a press and up for a release.
    const qreal cx = width() / 2.0, top = height() - 10.0, bottom = height() - 2.0;
    QPainterPath arrow;
    if (m_down) {
        arrow.moveTo(cx - 4, top);
        arrow.lineTo(cx + 4, top);
        arrow.lineTo(cx, bottom);
    } else {
        arrow.moveTo(cx - 4, bottom);
        arrow.lineTo(cx + 4, bottom);
        arrow.lineTo(cx, top);
    }
    arrow.closeSubpath();
    p.fillPath(arrow, line);
}
