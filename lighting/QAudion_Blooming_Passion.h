#pragma once
#include "lighting/QAudioEffctBass.h"

// Patterns that bloom outward with the loudness and fall back one step per sub-frame; the
// pattern changes every few blocks.
class QAudion_Blooming_Passion : public QAudioEffctBass
{
    Q_OBJECT
public:
    explicit QAudion_Blooming_Passion(QObject *parent = nullptr);
    void LoadLayout() override;
    void Stop() override;
    ushort EffectType() override { return 173; }
    int FrameDelay() override { return 10; }
    void Render(double *data, int count, DeviceRecord *device) override;

private:
    LightBand m_pattern;   // copy of the current pattern
    uchar m_patternIndex = 0;
    uchar m_counter = 0;
};
