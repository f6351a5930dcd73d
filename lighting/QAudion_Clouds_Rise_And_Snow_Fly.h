#pragma once
#include "lighting/QAudioEffctBass.h"

// Six rows: bass rises on the first rows, treble on the last, each row a bar whose length
// follows its value; on a wired link two "snow" rows drift through the picture.
class QAudion_Clouds_Rise_And_Snow_Fly : public QAudioEffctBass
{
    Q_OBJECT
public:
    explicit QAudion_Clouds_Rise_And_Snow_Fly(QObject *parent = nullptr);
    void LoadLayout() override;
    void Stop() override;
    ushort EffectType() override { return 170; }
    int FrameDelay() override { return 10; }
    void Render(double *data, int count, DeviceRecord *device) override;

private:
    void Draw(const QVector<double> &values, double factor);

    LightRows m_lines;
    uchar m_snow = 0;   // cycles 0..15
};
