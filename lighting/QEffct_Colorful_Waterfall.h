#pragma once
#include "lighting/QEffctBase.h"

// Model 95: the palette falls through the rows, the first rows most opaque.
class QEffct_Colorful_Waterfall : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 95; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void NextFrame() override;
    void ReleaseEffct() override;
    void LoadRows();

    LightRows Rows;
};
