#include "lighting/QAudion_Light_Field_Change.h"

#include <cmath>

QAudion_Light_Field_Change::QAudion_Light_Field_Change(QObject *parent) : QAudioEffctBass(parent)
{
    for (int i = 0; i < 128; ++i)
        m_offsets[i] = static_cast<ushort>(8 + 3 * i);
    ReadOwnSleeps(QStringLiteral("LIGHT_FIELD_CHANGE_CONFIG"));
}

void QAudion_Light_Field_Change::Stop()
{
    DisconnectPreview();
    m_palette.clear();
}

uchar QAudion_Light_Field_Change::Step(const double *data, int count, double gain, double smoothing)
{
    const double level = Level(data, count);
    uchar step = 0;
    if (level > 0) {
        double v = level * 0.1;
        if (gain > 0)
            v = v + gain * v;
        if (smoothing > 0)
            v = v - smoothing * 0.1 * v;
        step = static_cast<uchar>(RoundHalfAway(v));
        if (step > 12)
            step = 11;
    }
    return step;
}

QColor QAudion_Light_Field_Change::StepColour(uchar step, uchar r, uchar g, uchar b)
{
    const double d = 12.0;
    auto shade = [&](int c) { return std::max(0, c - static_cast<int>(std::trunc(c / d * step))); };
    const int r2 = shade(r), g2 = shade(g), b2 = shade(b);
    const int x = std::max(0, b - static_cast<int>(std::trunc((100 / d + b) * step)) + 100);
    if (step <= 3 || step == 7)
        return QColor(r2, g2, b2);
    if (step < 7)
        return QColor(g2, r2, x);
    return QColor(g2, x, r2);
}

void QAudion_Light_Field_Change::Render(double *data, int count, DeviceRecord *device)
{
    if (!device)
        return;
    m_device = device;
    if (count <= 0 || !data) {
        IdleBlock();
        return;
    }
    const QColor c = StepColour(Step(data, count, m_gain, m_smoothing), m_r, m_g, m_b);
    for (ushort o : m_offsets)
        SetKey(o, c.red(), c.green(), c.blue());
    m_frame[kFrameSize - 1] = 255;
    SendFrame();
}
