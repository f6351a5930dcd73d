#pragma once
#include "lighting/QEffctBase.h"

// Model 88: a random set of at least 60 % of the keys breathes; every fade lights a new set.
class QEffct_Stars_Twinkle : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 88; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void SetLuminance(uchar luminance) override;
    void NextFrame() override;

    QVector<ushort> AllKeys;
    QVector<ushort> LitKeys;
    QVector<QColor> LitColours;
    int KeyCount = 0;
    uchar Rising = 0;
    uchar Level = 0;
    uchar Ceiling = 0;
};
