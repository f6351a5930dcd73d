#include "app/QAnimationEffectsLable.h"

QAnimationEffectsLable *QAnimationEffectsLable::instance()
{
    static QAnimationEffectsLable *label = new QAnimationEffectsLable;
    return label;
}

void QAnimationEffectsLable::AnimateMinimize(QWidget *w)
{
    if (w)
        w->showMinimized();
}

void QAnimationEffectsLable::AnimateRestore(QWidget *w)
{
    if (w)
        w->showNormal();
}
