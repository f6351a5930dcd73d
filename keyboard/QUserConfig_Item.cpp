#include "keyboard/QUserConfig_Item.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
QString WithoutXml(QString text)
{
    if (text.endsWith(QLatin1String(".xml")))
        text.chop(4);
    return text;
}
} // namespace

QUserConfig_Item::QUserConfig_Item(QWidget *parent)
    : QConfigListItemBase(parent), m_picture(QStringLiteral(":/new/prefix1/Imges/ConfihFile_25px.png"))
{
}

void QUserConfig_Item::SetItemInfo(const QString &left, const QString &centre, const QString &code)
{
    m_left = WithoutXml(left);
    m_centre = WithoutXml(centre);
    m_code = code;
    update();
}

bool QUserConfig_Item::IsProtectedName(const QString &name)
{
    return name == QLatin1String("Base") || name == QLatin1String("imageAndLines");
}

void QUserConfig_Item::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (InDeleteArea(event->pos()) && !IsProtectedName(m_left))
        Q_EMIT DeleteItem(m_left);
    else
        Q_EMIT OPenConfigFile(m_left);
}

void QUserConfig_Item::enterEvent(QEvent *)
{
    m_hover = true;
    update();
}

void QUserConfig_Item::leaveEvent(QEvent *)
{
    m_hover = false;
    update();
}

void QUserConfig_Item::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(0, 7, m_picture);
    p.setPen(m_hover ? QColor(187, 187, 187) : QColor(Qt::white));
    p.drawText(QRect(QPoint(30, 5), QPoint(width() - 71, height() + 4)), Qt::AlignLeft | Qt::AlignVCenter, m_left);
    if (m_hover && !IsProtectedName(m_left))
        p.drawText(DeleteArea(), Qt::AlignCenter, QStringLiteral("X"));
    PaintBorder(p);
}
