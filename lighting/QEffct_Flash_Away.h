#pragma once
#include "lighting/QEffct_Device_Run.h"

// Model 84: the keyboard alone reacts to key presses; nothing to preview.
class QEffct_Flash_Away : public QEffct_Device_Run
{
public:
    using QEffct_Device_Run::QEffct_Device_Run;
    int GetModel() override { return 84; }
};
