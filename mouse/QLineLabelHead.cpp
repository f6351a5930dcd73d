#include "mouse/QLineLabelHead.h"
#include "app/QXM_Process.h"
#include "widgets/AppFont.h"

#include <QMouseEvent>
#include <QPainter>

QLineLabelHead::QLineLabelHead(QWidget *parent) : QLabel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    // A child label, not a tool window: a tool window would leave the column and be placed in
    // desktop coordinates.
    setFont(LoadAppFont(15));
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, this, &QLineLabelHead::on_RefreshLangual);
}

void QLineLabelHead::PlaceAtAnchor(int height)
{
    int width = 16 * m_Text.size();
    if (m_Kind == PictureKind)
        width += 30;
    setGeometry(m_AnchorX - width / 2, m_AnchorY - height - 5, width, height);
}

void QLineLabelHead::SetHeadText(const QString &text)
{
    SetHead(TextKind, text, QPixmap());
}

void QLineLabelHead::SetHeadInfo(const QString &text, const QPixmap &picture)
{
    SetHead(PictureKind, text, picture);
}

void QLineLabelHead::SetHead(uint8_t kind, const QString &text, const QPixmap &picture)
{
    m_Kind = kind;
    m_Text = text;
    m_Picture = picture;
    m_Selected = false;
    PlaceAtAnchor(height() > 0 ? height() : 30);
    update();
}

void QLineLabelHead::SetSelected()
{
    m_Selected = true;
    update();
}

void QLineLabelHead::ClearSelected()
{
    m_Selected = false;
    update();
}

void QLineLabelHead::on_RefreshLangual()
{
    if (m_TextId) {
        m_Text = QXM_Process::instance()->GetText(m_TextId);
        PlaceAtAnchor(height() > 0 ? height() : 30);
        update();
    }
}

void QLineLabelHead::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_TextId == 250) {
        // the disabled function: only a small circle
        p.setPen(QPen(QColor(250, 251, 252), 3));
        p.drawEllipse(width() / 2 - 5, height() / 2, 13, 13);
        return;
    }
    p.setPen(m_Selected ? QColor(17, 150, 255) : QColor(Qt::white));
    p.setFont(font());
    if (m_Kind == PictureKind) {
        p.drawPixmap(QRect(0, 0, 30, 30), m_Picture);
        p.drawText(QRect(30, 0, width() - 30, height()), Qt::AlignVCenter | Qt::AlignLeft, m_Text);
    } else if (!m_Text.isEmpty()) {
        p.drawText(rect(), Qt::AlignCenter, m_Text);
    }
}

void QLineLabelHead::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        Q_EMIT HeadRightRightButton(this);
    QLabel::mousePressEvent(event);
}
