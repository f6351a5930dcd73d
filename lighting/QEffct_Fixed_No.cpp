#include "lighting/QEffct_Fixed_No.h"

void QEffct_Fixed_No::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    InitCommon(speed, luminance, multiColour, colour);
    m_standardMap = ReadStandardColourMap();
}

void QEffct_Fixed_No::NextFrame()
{
    if (m_keys.isEmpty())
        return;
    SendColourFrame(static_cast<uchar>((Luminance * 40 + 20) & 0xFF));
}
