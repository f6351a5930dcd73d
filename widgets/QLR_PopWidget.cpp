#include "widgets/QLR_PopWidget.h"
#include "widgets/AppFont.h"
#include "widgets/ScreenAtCursor.h"

#include <QPainter>
#include <QScreen>
#include <QTimer>

QPointer<QLR_PopWidget> QLR_PopWidget::s_shared;

namespace {
// The geometry of the screen under the cursor; an empty rectangle only without any screen.
QRect cursorScreenRect()
{
    QScreen *screen = ScreenAtCursor();
    return screen ? screen->geometry() : QRect();
}

// Edges as "x + width" and "y + height", the way the tip's placement counts them.
int rightEdge(const QRect &r) { return r.x() + r.width(); }
int bottomEdge(const QRect &r) { return r.y() + r.height(); }
} // namespace

QLR_PopWidget::QLR_PopWidget()
    : QWidget(nullptr)
    , m_timer(new QTimer(this))
{
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    const QRect screen = cursorScreenRect();
    move(rightEdge(screen) - 279, bottomEdge(screen) - 110);
    resize(270, 30);
    connect(m_timer, &QTimer::timeout, this, &QLR_PopWidget::on_timeout);
    m_timer->setInterval(20);
    setFont(LoadAppFont(20));
}

QLR_PopWidget *QLR_PopWidget::Current()
{
    return s_shared;
}

void QLR_PopWidget::Pop(const QString &caption, const QString &text)
{
    if (!s_shared)
        s_shared = new QLR_PopWidget;
    QLR_PopWidget *tip = s_shared;
    int width = 15 * text.length();
    if (width >= 270) {
        const QRect screen = cursorScreenRect();
        tip->move(rightEdge(screen) - width - 9, bottomEdge(screen) - 50);
    } else {
        width = 270;
    }
    tip->resize(width, 50);
    tip->m_caption = caption;
    tip->m_text = text;
    tip->show();
    tip->m_elapsed = 0;
    tip->m_timer->start();
    tip->update();
}

void QLR_PopWidget::on_timeout()
{
    m_elapsed += 6;
    if (width() > m_elapsed) {
        update();
        return;
    }
    m_timer->stop();
    if (s_shared == this)
        s_shared.clear();
    hide();
    close();
}

void QLR_PopWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(10, 11, 12));
    painter.drawRoundedRect(rect(), 5, 5);
    const int barWidth = width() - m_elapsed;
    if (barWidth > 0) {
        painter.setBrush(QColor(48, 82, 132));
        painter.drawRoundedRect(QRect(0, 0, barWidth, height()), 5, 5);
    }
    painter.setPen(Qt::white);
    painter.drawText(QRect(QPoint(0, 10), QPoint(width() - 1, height() / 2 + 9)), Qt::AlignCenter, m_text);
}
