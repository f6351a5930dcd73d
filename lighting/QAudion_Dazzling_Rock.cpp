#include "lighting/QAudion_Dazzling_Rock.h"

#include <cmath>

QAudion_Dazzling_Rock::QAudion_Dazzling_Rock(QObject *parent) : QAudioEffctBass(parent)
{
    ReadOwnSleeps(QStringLiteral("DAZZLING_ROCK_CONFIG"));
}

void QAudion_Dazzling_Rock::LoadLayout()
{
    m_lines = ReadListRows(QStringLiteral("Dazzling_rock"));
    m_palette = DefaultPalette();
    m_layoutLoaded = true;
}

void QAudion_Dazzling_Rock::Stop()
{
    DisconnectPreview();
    m_lines.clear();
    m_palette.clear();
}

void QAudion_Dazzling_Rock::Render(double *data, int count, DeviceRecord *device)
{
    if (m_paused)
        return;
    m_device = device;
    double level;
    if (count <= 0 || !data) {
        level = m_shown - 1.0;
    } else {
        if (!m_layoutLoaded)
            return;
        const double l = Level(data, count);
        if (!(l > 0))
            return;
        double v = l * (Wireless() ? 0.07 : 0.1);
        if (m_gain > 0)
            v = v + m_gain * v;
        if (m_smoothing > 0)
            v = v - m_smoothing * 0.1 * v;
        v = (v - std::trunc(v)) + std::trunc(v * 0.8);
        if (v > 0.1 && v < 1.0)
            v += 1.0;
        if (v < 0.01 || v < m_shown)
            level = m_shown - 1.0;
        else if (v > m_shown)
            level = m_shown + 1.0;
        else
            level = v;
    }
    // The level stops at the empty keyboard: sinking further in a long silence would keep the
    // keys dark for as many blocks once the sound comes back.
    m_shown = std::max(level, 0.0);
    Draw();
}

void QAudion_Dazzling_Rock::Draw()
{
    m_frame[0] = 0xAB;
    m_frame[1] = 0xBA;
    const int lit = std::min<int>(static_cast<int>(std::trunc(m_shown)), m_lines.size());
    const double fraction = m_shown - std::trunc(m_shown);
    for (int r = 0; r < lit; ++r) {
        QColor c = KeyColour(static_cast<uchar>(r));
        if (r == lit - 1) {
            if (fraction <= 0.3) {
                c = QColor(0, 0, 0);
                if (r == 0)
                    m_frame[kFrameSize - 1] = 255;
            } else {
                c = QColor(static_cast<int>(c.red() * fraction), static_cast<int>(c.green() * fraction),
                           static_cast<int>(c.blue() * fraction));
            }
        }
        for (ushort o : m_lines.at(r))
            SetKey(o, c.red(), c.green(), c.blue());
    }
    SendFrame();
    if (m_multiColour) {
        if (m_counter == 2) {
            RotatePalette();
            m_counter = 0;
        }
    }
    ++m_counter;
}
