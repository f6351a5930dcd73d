#pragma once
#include "lighting/QEffct_Device_Run.h"

// Model 87: the keyboard alone spreads ripples from pressed keys; nothing to preview.
class QEffct_Ripples_Shining : public QEffct_Device_Run
{
public:
    using QEffct_Device_Run::QEffct_Device_Run;
    int GetModel() override { return 87; }
};
