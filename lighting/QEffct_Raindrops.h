#pragma once
#include "lighting/QEffctBase.h"
#include "lighting/RainDrop.h"

// Model 85: drops run down the key columns of the "RAINDROPS" rows, at most one new drop a frame.
class QEffct_Raindrops : public QEffctBase
{
    Q_OBJECT
public:
    using QEffctBase::QEffctBase;
    int GetModel() override { return 85; }
    void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour) override;
    void NextFrame() override;
    void ReleaseEffct() override;
    void LoadRows();

    LightRows Columns;
    // One drop record per column, made with the columns so that no frame allocates; a column's
    // drop runs while its flag is set.
    QVector<RainDrop> Drops;
    QVector<bool> Running;
};
