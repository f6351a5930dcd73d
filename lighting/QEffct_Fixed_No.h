#pragma once
#include "lighting/QEffctBase.h"

// Model 81: the static colour on every key, its transparency set by the luminance.
class QEffct_Fixed_No : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 81; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void NextFrame() override;
};
