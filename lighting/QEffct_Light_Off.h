#pragma once
#include "lighting/QEffct_Device_Run.h"

// Model 98: the keyboard's lights are off; nothing to preview.
class QEffct_Light_Off : public QEffct_Device_Run
{
public:
    using QEffct_Device_Run::QEffct_Device_Run;
    int GetModel() override { return 98; }
};
