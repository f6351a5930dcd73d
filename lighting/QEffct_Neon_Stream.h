#pragma once
#include "lighting/QEffctBase.h"

// Model 91: one colour a row; the rows move on by one every frame.
class QEffct_Neon_Stream : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 91; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void NextFrame() override;
    void ReleaseEffct() override;
    void LoadRows();

    LightRows Rows;
};
