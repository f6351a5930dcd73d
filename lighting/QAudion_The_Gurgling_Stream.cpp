#include "lighting/QAudion_The_Gurgling_Stream.h"

QAudion_The_Gurgling_Stream::QAudion_The_Gurgling_Stream(QObject *parent) : QAudioEffctBass(parent)
{
    ReadOwnSleeps(QStringLiteral("THE_GURGLING_STREAM_CONFIG"));
}

void QAudion_The_Gurgling_Stream::LoadLayout()
{
    m_lines = ReadListRows(QStringLiteral("The_gurgling_stream"));
    m_heights = QVector<uchar>(m_lines.size(), 1);
    m_palette = DefaultPalette();
    m_layoutLoaded = true;
}

void QAudion_The_Gurgling_Stream::Stop()
{
    DisconnectPreview();
    m_lines.clear();
    m_heights.clear();
    m_palette.clear();
}

double QAudion_The_Gurgling_Stream::StepToward(double v, double shown, int top)
{
    if (v > shown)
        shown += 1;
    else if (v < shown)
        shown -= 1;
    return std::min<double>(std::max(shown, 0.0), top);
}

void QAudion_The_Gurgling_Stream::Render(double *data, int count, DeviceRecord *device)
{
    if (m_paused)
        return;
    m_device = device;
    if (count <= 0 || !data) {
        IdleBlock();
        return;
    }
    if (!m_layoutLoaded || m_lines.isEmpty())
        return;
    const double level = Level(data, count);
    double v = 0.0;
    if (level > 0) {
        v = level * 0.05;
        if (m_gain > 0)
            v = (m_gain + 1.0) * v;
        if (m_smoothing > 0)
            v = (1.0 - m_smoothing * 0.1) * v;
    }
    m_levelMemory = StepToward(v, m_levelMemory, 6);
    m_heights.removeLast();
    m_heights.prepend(static_cast<uchar>(RoundHalfAway(m_levelMemory)));
    QColor c(m_r, m_g, m_b);
    if (m_multiColour) {
        if (m_counter % 20 == 0)
            RotatePalette();
        c = ColourAt(0);
    }
    ++m_counter;
    const bool wired = !Wireless();
    for (int r = 0; r < m_lines.size(); ++r) {
        const LightRow &row = m_lines.at(r);
        const int n = std::min<int>(m_heights.at(r), row.size());
        for (int k = 0; k < n; ++k) {
            if (wired && k == n - 1)
                SetKey(row.at(k), static_cast<uchar>(c.red() * 0.8), static_cast<uchar>(c.green() * 0.8),
                       static_cast<uchar>(c.blue() * 0.8));
            else
                SetKey(row.at(k), c.red(), c.green(), c.blue());
        }
    }
    SendFrame();
    SleepMs(10);
}
