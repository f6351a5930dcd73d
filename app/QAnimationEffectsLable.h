#pragma once
#include <QLabel>

// Animates minimising and restoring the frameless main window.
class QAnimationEffectsLable : public QLabel
{
    Q_OBJECT
public:
    static QAnimationEffectsLable *instance();
    void AnimateMinimize(QWidget *w);
    void AnimateRestore(QWidget *w);
};
