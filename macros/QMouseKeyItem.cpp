#include "macros/QMouseKeyItem.h"

#include <QPainter>

void QMouseKeyItem::SetItemData(const QString &name, bool down, uint code, uint delay)
{
    m_name = name;
    m_down = down;
    m_code = code;
    m_delay = delay;
    resize(35, 35);
    update();
}

QEditMacroItemBase *QMouseKeyItem::Clone(QWidget *parent) const
{
    auto *row = new QMouseKeyItem(parent);
    row->SetItemData(m_name, m_down, m_code, m_delay);
    row->setGeometry(geometry());
    return row;
}

void QMouseKeyItem::paintEvent(QPaintEvent *)
{
    static const char *const kPictures[] = {"Mouse_Lift", "Mouse_Mid", "Mouse_Right", "Mouse_Mid", "Mouse_Mid"};
    const QString path = QStringLiteral(":/new/prefix1/Imges/QEditkeysDefinition/%1%2")
                             .arg(QLatin1String(kPictures[qMin<uint>(m_code, 4)]), m_check ? QStringLiteral("_hv.png") : QStringLiteral("_nv.png"));
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(Alpha() / 255.0);
    const QPixmap picture(path);
    const QRectF body = QRectF(rect()).adjusted(8, 2, -8, -2);
    if (!picture.isNull()) {
        p.drawPixmap(rect(), picture);
    } else {
        // Without the picture: a mouse outline with the button lit.
        const QColor line = m_check ? QColor(0, 165, 224) : QColor(255, 255, 255);
        p.setPen(QPen(line, 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(body, body.width() / 2, body.width() / 2);
        const QRectF half(body.left(), body.top(), body.width() / 2, body.height() / 3);
        if (m_code == 0)
            p.fillRect(half.adjusted(2, 2, 0, 0), line);
        else if (m_code == 2)
            p.fillRect(half.translated(half.width(), 0).adjusted(0, 2, -2, 0), line);
        else
            p.fillRect(QRectF(body.center().x() - 1.5, body.top() + 3, 3, body.height() / 4), line);
        p.drawText(QRectF(body.left(), body.bottom() - 14, body.width(), 12), Qt::AlignCenter,
                   m_down ? QStringLiteral("\u2193") : QStringLiteral("\u2191"));
    }
    if (m_code >= 3) {
        p.setFont(QFont(QStringLiteral("Arial Black"), 10));
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter, QString::asprintf("%d", int(m_code) + 1));
    }
}
