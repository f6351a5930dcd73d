#include "lighting/QLightConfigWIdget.h"

QLightConfigWIdget *QLightConfigWIdget::s_instance = nullptr;

QLightConfigWIdget::QLightConfigWIdget(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
}

QLightConfigWIdget::~QLightConfigWIdget()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QLightConfigWIdget *QLightConfigWIdget::instance()
{
    return s_instance;
}

void QLightConfigWIdget::BuildEffectList(const QList<int> &effects, const QString &, int, int, int)
{
    m_effects = effects;
}
