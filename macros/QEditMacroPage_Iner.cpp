#include "macros/QEditMacroPage_Iner.h"

QEditMacroPage_Iner::QEditMacroPage_Iner(QWidget *parent) : QWidget(parent) {}

QEditMacroPage_Iner::~QEditMacroPage_Iner() = default;
