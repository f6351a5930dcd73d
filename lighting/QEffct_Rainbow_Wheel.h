#pragma once
#include "lighting/QEffct_Device_Run.h"

// Model 86: the keyboard alone turns a rainbow wheel; nothing to preview.
class QEffct_Rainbow_Wheel : public QEffct_Device_Run
{
public:
    using QEffct_Device_Run::QEffct_Device_Run;
    int GetModel() override { return 86; }
};
