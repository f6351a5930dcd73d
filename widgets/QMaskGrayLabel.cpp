#include "widgets/QMaskGrayLabel.h"
#include "app/AppDirPath.h"
#include "app/MainWidget.h"
#include "app/QXM_Process.h"
#include "widgets/AppFont.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMovie>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

QMaskGrayLabel::QMaskGrayLabel(QWidget *parent)
    : QLabel(parent)
    , m_movie(new QMovie(AppDirPath() + QStringLiteral("/waite.gif"), QByteArray(), this))
    , m_timer(new QTimer(this))
    , m_escape(new QPushButton(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);
    ApplyAppFont(this, 30);
    move(0, 0);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &QMaskGrayLabel::on_timeOut);
    m_escape->setText(QStringLiteral("hide"));
    m_escape->setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 0);color: rgba(0, 0, 0, 0); border: -1px;"));
    m_escape->hide();
    connect(m_escape, &QPushButton::clicked, this, &QMaskGrayLabel::on_Butchick);
    connect(m_movie, &QMovie::frameChanged, this, QOverload<>::of(&QWidget::update));
    if (parent)
        parent->installEventFilter(this);
    fitParent();
}

void QMaskGrayLabel::fitParent()
{
    if (parentWidget())
        resize(parentWidget()->size());
}

void QMaskGrayLabel::showEvent(QShowEvent *event)
{
    QLabel::showEvent(event);
    fitParent();
    raise();
    m_ticks = 0;
    m_timer->start();
    m_escape->hide();
    // Keys go to the focused widget wherever it is: the mask keeps them from what it covers.
    QCoreApplication::instance()->installEventFilter(this);
    if (m_ShowMovie && m_movie->isValid()) {
        m_movie->setSpeed(30);
        m_movie->start();
    }
}

void QMaskGrayLabel::hideEvent(QHideEvent *event)
{
    QCoreApplication::instance()->removeEventFilter(this);
    m_timer->stop();
    m_movie->stop();
    QLabel::hideEvent(event);
}

bool QMaskGrayLabel::Covers(QObject *object) const
{
    auto *widget = qobject_cast<QWidget *>(object);
    QWidget *under = parentWidget();
    if (!widget || !under || !isVisible() || widget == this || isAncestorOf(widget) || !under->isAncestorOf(widget))
        return false;
    // The part left open (the window's close button) is not covered.
    const QRegion shape = mask().isEmpty() ? QRegion(rect()) : mask();
    return shape.intersects(QRect(widget->mapTo(under, QPoint(0, 0)), widget->size()));
}

void QMaskGrayLabel::on_timeOut()
{
    if (m_ticks > 10) {
        m_escape->resize(50, 50);
        m_escape->move(width() - 59, height() - 59);
        m_escape->show();
        m_timer->stop();
    }
    ++m_ticks;
}

void QMaskGrayLabel::on_Butchick()
{
    MainWidget *main = MainWidget::instance();
    if (!main)
        return;
    main->EndSyncWait();
    main->ClearSyncFlag2();
    main->on_Hide_busy_Status();
}

void QMaskGrayLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 1, 2, 200));
    painter.drawRoundedRect(rect(), 5, 5, Qt::RelativeSize);
    if (m_ShowMovie) {
        const QPixmap frame = m_movie->currentPixmap();
        if (!frame.isNull()) {
            const QRect target(QPoint(0, 0), frame.size());
            painter.drawPixmap(target.translated(rect().center() - target.center()), frame);
        }
    }
    if (m_ShowText) {
        painter.setPen(QColor(200, 200, 200));
        painter.drawText(rect(), Qt::AlignCenter, GetLangText(308));
    }
}

bool QMaskGrayLabel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        fitParent();
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && Covers(watched))
        return true;
    return QLabel::eventFilter(watched, event);
}
