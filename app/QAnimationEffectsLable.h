#pragma once
#include <QLabel>
#include <QRect>

class QPropertyAnimation;
class QTimer;

// Animates minimising and restoring the frameless main window: a borderless snapshot of the
// window flies to just beyond the bottom-right corner of the screen, and back.
class QAnimationEffectsLable : public QLabel
{
    Q_OBJECT
public:
    enum Mode : quint8 { Restore = 5, Minimize = 6 };

    // Made on first use; lives until the process ends.
    static QAnimationEffectsLable *instance();

    void AnimateMinimize(QWidget *w);
    void AnimateRestore(QWidget *w);

    quint8 CurrentMode() const { return m_mode; }
    QRect SavedGeometry() const { return m_saved; }
    QRect ScreenRect() const { return m_screen; }

private:
    QAnimationEffectsLable();
    void startAnimation();

    quint8 m_mode = 0;
    QRect m_screen;
    QRect m_saved;
    QPropertyAnimation *m_animation = nullptr;
    // The hide that ends a minimise; a restore cancels it so it cannot hide the label midway.
    QTimer *m_hideTimer = nullptr;
};
