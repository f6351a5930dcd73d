#include "lighting/QAudion_Blooming_Passion.h"

#include <cmath>

QAudion_Blooming_Passion::QAudion_Blooming_Passion(QObject *parent) : QAudioEffctBass(parent)
{
    ReadOwnSleeps(QStringLiteral("BLOOMING_PASSION_CONFIG"));
}

void QAudion_Blooming_Passion::LoadLayout()
{
    m_rows = ReadStepRows(QStringLiteral("Blooming_passion"));
    m_palette = DefaultPalette();
    m_layoutLoaded = true;
}

void QAudion_Blooming_Passion::Stop()
{
    DisconnectPreview();
    m_rows.clear();
    m_pattern.clear();
    m_palette.clear();
}

void QAudion_Blooming_Passion::Render(double *data, int count, DeviceRecord *device)
{
    if (m_paused)
        return;
    m_device = device;
    if (count <= 0 || !data) {
        IdleBlock();
        return;
    }
    if (!m_layoutLoaded)
        return;
    if (m_rows.isEmpty()) {
        emit SoftwareClearDisp();
        return;
    }
    const double level = Level(data, count);
    if (!(level > 0))
        return;
    double v = level * (Wireless() ? 0.07 : 0.1);
    if (m_gain > 0)
        v = v + m_gain * v;
    if (m_smoothing > 0)
        v = v - m_smoothing * 0.1 * v;
    if (m_patternIndex >= m_rows.size())
        m_patternIndex = 0;
    m_pattern = m_rows.at(m_patternIndex);
    // No pattern has more steps than this; it also bounds the fall below.
    const double target = std::min(std::trunc(v * 0.5 + 1.0) + (v - std::trunc(v)), 256.0);
    const double fraction = target - std::trunc(target);
    const int top = static_cast<int>(std::trunc(m_levelMemory));
    const int bottom = static_cast<int>(std::trunc(target));
    QVector<double> subLevels;
    if (bottom >= top)
        subLevels.append(target);
    else
        for (int t = top; t >= bottom; --t)
            subLevels.append(t + fraction);
    for (double x : subLevels) {
        if (m_paused)
            return;
        const int lit = std::min<int>(static_cast<int>(std::trunc(x)), m_pattern.size());
        const double part = x - std::trunc(x);
        for (int j = 0; j < lit; ++j) {
            QColor c = KeyColour(static_cast<uchar>(j));
            if (j == lit - 1)
                c = QColor(static_cast<int>(std::trunc(c.red() * part + 90.0)) & 0xFF,
                           static_cast<int>(std::trunc(c.green() * part + 90.0)) & 0xFF,
                           static_cast<int>(std::trunc(c.blue() * part + 90.0)) & 0xFF);
            for (ushort o : m_pattern.at(j))
                SetKey(o, c.red(), c.green(), c.blue());
        }
        SendFrame();
    }
    if (m_multiColour && subLevels.size() == 1)
        RotatePalette();
    if (m_counter > 10) {
        m_patternIndex = static_cast<uchar>((m_patternIndex + 1) % m_rows.size());
        m_counter = 0;
    }
    ++m_counter;
    m_levelMemory = target;
}
