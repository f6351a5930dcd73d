#pragma once
#include "lighting/QAudioEffctBass.h"

// Bars that bounce through a sequence of sub-frames per block: each band of "Audio_dance_Soft"
// shows the level of one part of the spectrum, scaled by each sub-frame scale in turn.
class QAudio_Dance_Soft : public QAudioEffctBass
{
    Q_OBJECT
public:
    static constexpr int kMaxScales = 20;

    explicit QAudio_Dance_Soft(QObject *parent = nullptr);
    void LoadLayout() override;
    void Stop() override;
    ushort EffectType() override { return 168; }
    int FrameDelay() override { return 10; }
    void Render(double *data, int count, DeviceRecord *device) override;

    const QVector<uchar> &Scales() const { return m_scales; }
    uchar ScaleCount() const { return m_scaleCount; }

private:
    void DrawBand(const LightBand &band, double x, const QColor &colour);

    QVector<uchar> m_scales;   // per mille, at most kMaxScales
    uchar m_scaleCount = 3;
};
