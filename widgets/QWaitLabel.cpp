#include "widgets/QWaitLabel.h"
#include "widgets/QLabelThread.h"

#include <QPainter>
#include <climits>
#include <QPixmapCache>

namespace {
// Decoded once per process through the pixmap cache, which Qt empties with the application.
QPixmap spinnerPicture()
{
    static const QString path = QStringLiteral(":/new/prefix1/Imges/HID_API/Wait1_480px.png");
    QPixmap picture;
    if (!QPixmapCache::find(path, &picture)) {
        picture.load(path);
        QPixmapCache::insert(path, picture);
    }
    return picture;
}
} // namespace

QWaitLabel::QWaitLabel(QWidget *parent)
    : QLabel(parent)
    , m_thread(new QLabelThread(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    connect(m_thread, &QLabelThread::Runone, this, &QWaitLabel::on_run);
}

QWaitLabel::~QWaitLabel()
{
    // The thread's own destructor joins it too; stopping here keeps ticks from reaching a
    // half-destroyed label.
    m_thread->StopAndWait(ULONG_MAX);
}

bool QWaitLabel::IsSpinning() const
{
    return m_thread->IsRunFlagSet();
}

void QWaitLabel::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    m_thread->on_StateThred();
}

void QWaitLabel::hideEvent(QHideEvent *event)
{
    on_Kill();
    QLabel::hideEvent(event);
}

void QWaitLabel::closeEvent(QCloseEvent *event)
{
    on_Kill();
    QLabel::closeEvent(event);
}

void QWaitLabel::on_Kill()
{
    m_thread->StopAndWait(1000);
}

void QWaitLabel::on_run()
{
    m_angle += 10;
    update();
}

void QWaitLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const int cx = width() / 2;
    const int cy = height() / 2;
    painter.translate(cx, cy);
    painter.rotate(m_angle);
    painter.translate(-cx, -cy);
    painter.drawPixmap(rect(), spinnerPicture());
}
