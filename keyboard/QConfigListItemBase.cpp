#include "keyboard/QConfigListItemBase.h"
#include "app/QXM_Process.h"

#include <QPainter>

namespace {
// "@<id>" shows the text of that id and stores the id; "" stores id 0; other texts leave it.
QString Resolve(const QString &text, quint16 &id)
{
    if (text.isEmpty()) {
        id = 0;
        return text;
    }
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    QString number = text;
    number.remove(QLatin1Char('@'));
    id = static_cast<quint16>(number.toUInt());
    return GetLangText(id);
}
} // namespace

QConfigListItemBase::QConfigListItemBase(QWidget *parent) : QWidget(parent)
{
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, this, &QConfigListItemBase::on_LangueChange);
}

int QConfigListItemBase::ItemType() const
{
    return -1;
}

bool QConfigListItemBase::IsCollapsed() const
{
    return false;
}

void QConfigListItemBase::SetItemInfo(const QString &left, const QString &centre, const QString &code)
{
    m_left = Resolve(left, m_leftId);
    m_centre = Resolve(centre, m_centreId);
    m_code = code;
    update();
}

QString QConfigListItemBase::DragText() const
{
    return m_centre.isEmpty() ? m_left : m_centre;
}

void QConfigListItemBase::on_LangueChange()
{
    if (m_leftId)
        m_left = GetLangText(m_leftId);
    if (m_centreId)
        m_centre = GetLangText(m_centreId);
    update();
}

void QConfigListItemBase::PaintBorder(QPainter &painter) const
{
    painter.setPen(QPen(QColor(64, 65, 66), 2));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}

QRect QConfigListItemBase::DeleteArea() const
{
    return QRect(QPoint(width() - 20, 5), QPoint(width() - 1, height() + 4));
}

bool QConfigListItemBase::InDeleteArea(const QPoint &pos) const
{
    return DeleteArea().contains(pos);
}
