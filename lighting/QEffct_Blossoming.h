#pragma once
#include "lighting/QEffctBase.h"

// Model 96: the palette spreads through the rings from the middle out.
class QEffct_Blossoming : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 96; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void NextFrame() override;
    void LoadRows();

    LightRows Rows;
};
