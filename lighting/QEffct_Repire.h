#pragma once
#include "lighting/QEffctBase.h"

// Model 82: breathing; the frame's transparency fades down to 0 and back up to the ceiling.
class QEffct_Repire : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 82; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void SetLuminance(uchar luminance) override;
    void NextFrame() override;

    ushort Ceiling = 180;
    ushort Level = 180;
    uchar Rising = 1;
};
