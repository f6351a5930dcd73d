#include "lighting/QAudio_Dynamic_Spectrum.h"

#include <cstring>

namespace {
QAudio_Dynamic_Spectrum::PictureSource s_picture = nullptr;
}

void QAudio_Dynamic_Spectrum::SetPictureSource(PictureSource source)
{
    s_picture = source;
}

QAudio_Dynamic_Spectrum::QAudio_Dynamic_Spectrum(QObject *parent) : QAudioEffctBass(parent) {}

void QAudio_Dynamic_Spectrum::LoadLayout()
{
    const int rowStep = 62 / kUsedRows;
    for (int r = 0; r < kUsedRows; ++r)
        m_y[r] = rowStep * r + 2 + 5;
    const int columnStep = 255 / kUsedColumns;
    for (int c = 0; c < kUsedColumns; ++c)
        m_x[c] = columnStep * c;
    std::memset(m_grid, 0, sizeof m_grid);
    const LightRows rows = ReadListRows(QStringLiteral("Clouds_Rise_and_snow_fly"));
    for (int r = 0; r < kGridRows && r < rows.size(); ++r)
        for (int c = 0; c < kGridColumns && c < rows.at(r).size(); ++c)
            m_grid[r][c] = rows.at(r).at(c);
    ReadOwnSleeps(QStringLiteral("DYNAMIC_SPECTRUM_CONFIG"));
}

void QAudio_Dynamic_Spectrum::Stop()
{
    DisconnectPreview();
    std::memset(m_grid, 0, sizeof m_grid);
}

void QAudio_Dynamic_Spectrum::Render(double *, int, DeviceRecord *device)
{
    if (m_paused)
        return;
    m_device = device;
    const quint32 *picture = s_picture ? s_picture() : nullptr;
    if (!picture)
        return;
    for (int r = 0; r < kUsedRows; ++r) {
        for (int c = 0; c < kUsedColumns; ++c) {
            const ushort o = m_grid[r][c];
            if (!o)
                continue;
            const quint32 pixel = picture[m_y[r] * kPictureWidth + m_x[c]];
            SetKey(o, pixel & 0xFF, (pixel >> 8) & 0xFF, (pixel >> 16) & 0xFF);
        }
    }
    SendFrame();
}
