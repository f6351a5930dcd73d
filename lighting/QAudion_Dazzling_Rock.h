#pragma once
#include "lighting/QAudioEffctBass.h"

// Rows that fill up with the loudness, moving one row per block; in silence they drain.
class QAudion_Dazzling_Rock : public QAudioEffctBass
{
    Q_OBJECT
public:
    explicit QAudion_Dazzling_Rock(QObject *parent = nullptr);
    void LoadLayout() override;
    void Stop() override;
    ushort EffectType() override { return 169; }
    int FrameDelay() override { return 10; }
    void Render(double *data, int count, DeviceRecord *device) override;

    double ShownLevel() const { return m_shown; }

private:
    void Draw();

    LightRows m_lines;
    double m_shown = 0.0;
    uchar m_counter = 0;
};
