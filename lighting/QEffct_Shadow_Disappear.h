#pragma once
#include "lighting/QEffct_Device_Run.h"

// Model 89: the keyboard alone lights pressed keys and lets them fade; nothing to preview.
class QEffct_Shadow_Disappear : public QEffct_Device_Run
{
public:
    using QEffct_Device_Run::QEffct_Device_Run;
    int GetModel() override { return 89; }
};
