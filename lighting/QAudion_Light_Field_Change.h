#pragma once
#include "lighting/QAudioEffctBass.h"

// The whole keyboard in one colour whose shade steps with the loudness.
class QAudion_Light_Field_Change : public QAudioEffctBass
{
    Q_OBJECT
public:
    explicit QAudion_Light_Field_Change(QObject *parent = nullptr);
    void Stop() override;
    ushort EffectType() override { return 171; }
    int FrameDelay() override { return 10; }
    void Render(double *data, int count, DeviceRecord *device) override;

    // The colour of a step for a base colour (the step already limited).
    static QColor StepColour(uchar step, uchar r, uchar g, uchar b);
    // The step of an analysed block for a gain and a smoothing.
    static uchar Step(const double *data, int count, double gain, double smoothing);

private:
    ushort m_offsets[128];
};
