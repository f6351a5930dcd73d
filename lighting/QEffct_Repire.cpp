#include "lighting/QEffct_Repire.h"

void QEffct_Repire::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    InitCommon(speed, luminance, multiColour, colour);
    m_standardMap = ReadStandardColourMap();
    Level = 180; // the ceiling stays until the first SetLuminance
    Rising = 1;
}

void QEffct_Repire::SetLuminance(uchar luminance)
{
    QEffctBase::SetLuminance(luminance);
    Ceiling = Level = static_cast<ushort>((Luminance + 5) * 20);
}

void QEffct_Repire::NextFrame()
{
    if (m_keys.isEmpty())
        return;
    SendColourFrame(static_cast<uchar>(Level & 0xFF));
    Level = static_cast<ushort>(Rising ? Level + 10 : Level - 10);
    if (Level < 10)
        Rising = 1;
    else if (Level > Ceiling)
        Rising = 0;
}
