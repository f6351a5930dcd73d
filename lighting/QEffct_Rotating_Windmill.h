#pragma once
#include "lighting/QEffctBase.h"

// Model 94: the palette turns through the blade rings.
class QEffct_Rotating_Windmill : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 94; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void NextFrame() override;
    void ReleaseEffct() override;
    void LoadRows();

    LightRows Rows;
};
