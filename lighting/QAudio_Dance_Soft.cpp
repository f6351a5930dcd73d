#include "lighting/QAudio_Dance_Soft.h"

#include "app/IniOpeners.h"

#include <QFileInfo>
#include <QSettings>
#include <cmath>
#include <cstring>
#include <memory>

QAudio_Dance_Soft::QAudio_Dance_Soft(QObject *parent) : QAudioEffctBass(parent)
{
    std::unique_ptr<QSettings> ini(OpenSysBuildIni());
    if (ini && QFileInfo::exists(ini->fileName())) {
        const QString prefix = m_amd ? QStringLiteral("AudionConfig/AmdDanceSoft") : QStringLiteral("AudionConfig/interDanceSoft");
        m_scaleCount = static_cast<uchar>(ini->value(prefix + QStringLiteral("Count"), 0).toInt());
        // An unquoted list in the file reads as a list of texts: the same items.
        const QVariant scs = ini->value(prefix + QStringLiteral("Scs"));
        const QStringList items = scs.type() == QVariant::StringList ? scs.toStringList()
                                                                      : scs.toString().split(QLatin1Char(','));
        for (const QString &item : items) {
            if (m_scales.size() >= kMaxScales)
                break;
            m_scales.append(static_cast<uchar>(item.toInt(nullptr, 10)));
        }
    } else if (m_amd) {
        m_scaleCount = 2;
        m_scales = {60, 10};
    } else {
        m_scaleCount = 6;
        m_scales = {80, 100, 80, 60, 40, 0};
    }
    ReadOwnSleeps(QStringLiteral("AUDIO_DANCE_SOFT_CONFIG"));
}

void QAudio_Dance_Soft::LoadLayout()
{
    m_rows = ReadStepRows(QStringLiteral("Audio_dance_Soft"));
    if (m_rows.isEmpty())
        return;
    m_palette = DefaultPalette();
    m_layoutLoaded = true;
}

void QAudio_Dance_Soft::Stop()
{
    DisconnectPreview();
    m_rows.clear();
    m_palette.clear();
}

void QAudio_Dance_Soft::DrawBand(const LightBand &band, double x, const QColor &colour)
{
    if (!(x > 0.1))
        return;
    const double whole = std::trunc(x);
    const float fraction = static_cast<float>(x - whole);
    const int steps = band.size() & 0xFF;
    for (int k = 0; k < steps; ++k) {
        const LightRow &keys = band.at(k);
        const int n = keys.size() & 0xFF;
        for (int i = 0; i < n; ++i) {
            if (k < x)
                SetKey(keys.at(i), colour.red(), colour.green(), colour.blue());
            if (!Wireless() && k == whole + 1)
                SetKey(keys.at(i), static_cast<uchar>(colour.red() * fraction),
                       static_cast<uchar>(colour.green() * fraction), static_cast<uchar>(colour.blue() * fraction));
        }
    }
}

void QAudio_Dance_Soft::Render(double *data, int count, DeviceRecord *device)
{
    if (m_paused)
        return;
    m_device = device;
    if (count <= 0 || !data) {
        IdleBlock();
        return;
    }
    const uchar bands = static_cast<uchar>(m_rows.size());
    if (bands == 0)
        return;
    QVector<double> levels = BandLevels(data, static_cast<uint>(count), bands, 0.1);
    if (levels.isEmpty())
        return;
    while (levels.size() < 20) {
        if (m_paused)
            return;
        levels.append(levels.last());
    }
    if (m_gain > 0.0)
        levels = ApplyGain(levels, (m_gain + 0.5) * 10.0);
    if (m_gain < 0.1)
        levels = ApplyGain(levels, 5.0);
    if (m_smoothing > 0.1) {
        for (double &v : levels)
            if (v - m_smoothing > 1.0)
                v -= m_smoothing;
    }
    levels.resize(bands);
    // A configured count beyond the stored scales runs only the scales there are.
    const int subFrames = std::min<int>(m_scaleCount, m_scales.size());
    for (int f = 0; f < subFrames; ++f) {
        if (m_paused)
            return;
        const uchar s = m_scales.at(f);
        for (int b = 0; b < bands; ++b) {
            if (m_paused)
                return;
            if (s == 0) {
                std::memset(m_frame, 0, kFrameSize);
                m_frame[kFrameSize - 1] = 255;
                break;
            }
            const double v = levels.at(b);
            const double whole = std::trunc(v);
            DrawBand(m_rows.at(b), s * 0.001 * whole + (v - whole), KeyColour(0));
        }
        SendFrame();
    }
    RotatePalette();
}
