#include "app/QLeftMenuPop.h"

QLeftMenuPop *QLeftMenuPop::s_instance = nullptr;

QLeftMenuPop::QLeftMenuPop(QWidget *parent) : QWidget(parent)
{
    s_instance = this;
}

QLeftMenuPop::~QLeftMenuPop()
{
    if (s_instance == this)
        s_instance = nullptr;
}

QLeftMenuPop *QLeftMenuPop::Instance()
{
    return s_instance;
}

void QLeftMenuPop::Animationgeometry_show() {}
void QLeftMenuPop::Animationgeometry_hide() {}
