#pragma once
#include "lighting/QAudioEffctBass.h"

// The spectrum analyser's picture sampled onto a grid of keys.
class QAudio_Dynamic_Spectrum : public QAudioEffctBass
{
    Q_OBJECT
public:
    static constexpr int kGridRows = 8, kGridColumns = 32;
    static constexpr int kUsedRows = 6, kUsedColumns = 22;
    static constexpr int kPictureWidth = 256, kPictureHeight = 64;

    // The analyser's front picture (256 x 64 pixels, 0x00BBGGRR); null until it has one.
    using PictureSource = const quint32 *(*)();
    static void SetPictureSource(PictureSource source);

    explicit QAudio_Dynamic_Spectrum(QObject *parent = nullptr);
    void LoadLayout() override;
    void Stop() override;
    ushort EffectType() override { return 428; }
    int FrameDelay() override { return 10; }
    void Render(double *data, int count, DeviceRecord *device) override;

private:
    ushort m_grid[kGridRows][kGridColumns] = {};
    int m_y[kUsedRows] = {};
    int m_x[kUsedColumns] = {};
};
