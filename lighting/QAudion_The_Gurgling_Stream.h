#pragma once
#include "lighting/QAudioEffctBass.h"

// A level that flows down the rows: row 0 shows the newest block, row i the block i before.
class QAudion_The_Gurgling_Stream : public QAudioEffctBass
{
    Q_OBJECT
public:
    explicit QAudion_The_Gurgling_Stream(QObject *parent = nullptr);
    void LoadLayout() override;
    void Stop() override;
    ushort EffectType() override { return 172; }
    int FrameDelay() override { return 10; }
    void Render(double *data, int count, DeviceRecord *device) override;

    // One step of the shown level toward v, kept within 0..top.
    static double StepToward(double v, double shown, int top);

private:
    LightRows m_lines;
    QVector<uchar> m_heights;
    uchar m_counter = 0;
};
