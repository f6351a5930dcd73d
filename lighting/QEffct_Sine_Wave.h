#pragma once
#include "lighting/QEffctBase.h"

// Model 93: three lit keys a row swing back and forth, shifted from row to row.
class QEffct_Sine_Wave : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 93; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void NextFrame() override;
    void ReleaseEffct() override;
    void LoadRows();

    LightRows Rows;
    uchar LeadRising = 1;
    qint16 Follower = -1;
    qint16 Lead = -1;
    uchar FollowerRising = 1;
};
