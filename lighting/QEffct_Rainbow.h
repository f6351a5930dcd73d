#pragma once
#include "lighting/QEffctBase.h"

// Model 83: breathing through the rainbow palette, one colour per fade.
class QEffct_Rainbow : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 83; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void SetLuminance(uchar luminance) override;
    void NextFrame() override;

    ushort Ceiling = 180;
    ushort Level = 180;
    uchar Rising = 1;
};
