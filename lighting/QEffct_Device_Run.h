#pragma once
#include "lighting/QEffctBase.h"

// A mode the keyboard runs alone: the preview stays blank and is cleared every period.
class QEffct_Device_Run : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    void InitEffct(int, uchar, uchar, QColor) override {}
    void SetColour(QColor) override {}
    void SetSpeed(int) override {}
    void SetLuminance(uchar) override {}
    void SetMoreColor(uchar) override {}
    void NextFrame() override;
};
