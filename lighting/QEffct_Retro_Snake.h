#pragma once
#include "lighting/QEffctBase.h"

// Model 90: a 16-key snake runs along one key path, then along the other.
class QEffct_Retro_Snake : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 90; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void NextFrame() override;
    void ReleaseEffct() override;
    void LoadPaths();

    LightRow Path1;
    LightRow Path2;
    uchar Path1Active = 1;
    qint16 Head = 0;
};
