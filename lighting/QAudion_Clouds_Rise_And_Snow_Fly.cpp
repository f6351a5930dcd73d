#include "lighting/QAudion_Clouds_Rise_And_Snow_Fly.h"

#include <cmath>

QAudion_Clouds_Rise_And_Snow_Fly::QAudion_Clouds_Rise_And_Snow_Fly(QObject *parent) : QAudioEffctBass(parent)
{
    ReadOwnSleeps(QStringLiteral("CLOUDS_RISE_AND_SNOW_FLY_CONFIG"));
}

void QAudion_Clouds_Rise_And_Snow_Fly::LoadLayout()
{
    m_lines = ReadListRows(QStringLiteral("Clouds_Rise_and_snow_fly"));
    m_palette = DefaultPalette();
    m_layoutLoaded = true;
}

void QAudion_Clouds_Rise_And_Snow_Fly::Stop()
{
    DisconnectPreview();
    m_lines.clear();
    m_palette.clear();
}

void QAudion_Clouds_Rise_And_Snow_Fly::Render(double *data, int count, DeviceRecord *device)
{
    m_device = device;
    if (count <= 0 || !data) {
        IdleBlock();
        return;
    }
    const QVector<double> b = BandLevels(data, static_cast<uint>(count), 6, 1.0);
    if (b.size() < 6)
        return;
    QVector<double> values{b[0] * 0.2, b[0] * 0.5, b[0], b[5], b[5] * 0.4, b[5] * 0.1};
    if (m_gain > 0.1)
        values = ApplyGain(values, m_gain);
    if (m_smoothing > 0.1)
        values = Blend(values, m_smoothing * 0.1);
    static const double factors[4] = {1.0, 0.67, 0.34, 0.01};
    for (double f : factors) {
        if (m_paused)
            return;
        if (Wireless())
            SleepMs(20);
        Draw(values, f);
    }
}

void QAudion_Clouds_Rise_And_Snow_Fly::Draw(const QVector<double> &values, double factor)
{
    m_snow = static_cast<uchar>((m_snow + 1) % 16);
    const bool wired = !Wireless();
    const int snowRow = 6 - m_snow;
    // Only the rows the product has: a shorter rows file leaves the other values unshown.
    const int rows = std::min<int>(values.size(), m_lines.size());
    for (int i = 0; i < rows; ++i) {
        const LightRow &row = m_lines.at(i);
        if (row.isEmpty())
            continue;
        const double h = values.at(i) * factor * 0.5;
        const int lit = h < 0 ? 0 : static_cast<int>(std::min<double>(std::trunc(h) + 1, row.size()));
        const QColor c = KeyColour(static_cast<uchar>(i));
        const double span = m_multiColour ? 2.0 * row.size() : row.size();
        for (int j = 0; j < lit; ++j) {
            int r = c.red(), g = c.green(), bl = c.blue();
            if (wired) {
                if (i == snowRow || i == snowRow + 1) {
                    r = std::max(0, r - 80);
                    g = std::max(0, g - 80);
                    bl = std::max(0, bl - 80);
                } else {
                    r = static_cast<int>(r - r / span * j);
                    g = static_cast<int>(g - g / span * j);
                    bl = static_cast<int>(bl - bl / span * j);
                }
            }
            SetKey(row.at(j), static_cast<uchar>(r), static_cast<uchar>(g), static_cast<uchar>(bl));
        }
    }
    SendFrame();
}
