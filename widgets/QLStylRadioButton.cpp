#include "widgets/QLStylRadioButton.h"
#include "app/QXM_Process.h"
#include "widgets/AppFont.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
const int kRestPixels = 13;  // the label's size
const int kHoverPixels = 18; // its size under the mouse, where it fits
}

QLStylRadioButton::QLStylRadioButton(QWidget *parent) : QRadioButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    connect(QXM_Process::instance(), &QXM_Process::LanguageChange, this, &QLStylRadioButton::on_RefreshLangual);
}

void QLStylRadioButton::SetTextId(quint16 id)
{
    TextId = id;
    on_RefreshLangual();
}

void QLStylRadioButton::on_RefreshLangual()
{
    // Id 0 names no text; looking it up would show the table's "not Code".
    if (TextId != 0)
        setText(QXM_Process::instance()->GetText(TextId));
    update();
}

void QLStylRadioButton::enterEvent(QEvent *event)
{
    // A tab can be narrower than its label at the hover size ("Functions" in a 70 px tab, any
    // label in the keyboard's 50 px tabs), which would cut it at both sides: the label takes the
    // largest size that fits, down to its resting size.
    QFont font = LoadAppFont(kHoverPixels);
    int size = kHoverPixels;
    const int room = width() - 2;
    while (size > kRestPixels && QFontMetrics(font).horizontalAdvance(text()) > room)
        font.setPixelSize(--size);
    setFont(font);
    QRadioButton::enterEvent(event);
}

void QLStylRadioButton::leaveEvent(QEvent *event)
{
    setFont(LoadAppFont(kRestPixels));
    QRadioButton::leaveEvent(event);
}

void QLStylRadioButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (isChecked()) {
        QPen pen(QColor(48, 82, 132));
        pen.setWidth(3);
        p.setPen(pen);
        p.drawLine(3, height() - 2, width() - 3, height() - 2);
    }
    p.setPen(Qt::white);
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, text());
}
