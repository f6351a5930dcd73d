#include "app/QAnimationEffectsLable.h"
#include "app/DelayMs.h"
#include "widgets/ScreenAtCursor.h"

#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>

QAnimationEffectsLable *QAnimationEffectsLable::instance()
{
    static QAnimationEffectsLable *label = new QAnimationEffectsLable;
    return label;
}

QAnimationEffectsLable::QAnimationEffectsLable()
    : QLabel(nullptr)
    , m_animation(new QPropertyAnimation(this, "geometry", this))
    , m_hideTimer(new QTimer(this))
{
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    m_hideTimer->setSingleShot(true);
    connect(m_hideTimer, &QTimer::timeout, this, &QWidget::hide);
}

void QAnimationEffectsLable::startAnimation()
{
    m_animation->stop();
    m_animation->setLoopCount(1);
    m_animation->setStartValue(geometry());
    if (m_mode == Minimize) {
        m_animation->setDuration(220);
        m_animation->setEndValue(QRect(m_screen.x() + m_screen.width(), m_screen.y() + m_screen.height(), 100, 100));
    } else if (m_mode == Restore) {
        m_animation->setDuration(250);
        m_animation->setEndValue(m_saved);
    } else {
        return;
    }
    m_animation->start();
}

void QAnimationEffectsLable::AnimateMinimize(QWidget *w)
{
    if (!w)
        return;
    const QPixmap snapshot = w->grab();
    m_saved = w->geometry();
    setGeometry(m_saved);
    setPixmap(snapshot);

    w->setWindowOpacity(0);
    w->showMinimized();
    w->setWindowOpacity(1);

    show();
    m_mode = Minimize;
    QScreen *screen = ScreenAtCursor();
    m_screen = screen ? screen->geometry() : QRect();
    startAnimation();
    m_hideTimer->start(300);
}

void QAnimationEffectsLable::AnimateRestore(QWidget *w)
{
    if (!w)
        return;
    m_hideTimer->stop();
    // Nothing was minimised through here, so there is no snapshot to fly back.
    if (m_saved.isValid()) {
        show();
        m_mode = Restore;
        startAnimation();
        DelayMs(300);
        hide();
    }
    w->setVisible(true);
}
