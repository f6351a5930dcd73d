#include "lighting/QEffct_Rainbow.h"

void QEffct_Rainbow::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    InitCommon(speed, luminance, multiColour, colour);
    Level = 180;
    Rising = 1;
    Palette = RainbowPalette();
}

void QEffct_Rainbow::SetLuminance(uchar luminance)
{
    QEffctBase::SetLuminance(luminance);
    Ceiling = Level = static_cast<ushort>((Luminance + 5) * 20);
}

void QEffct_Rainbow::NextFrame()
{
    if (m_keys.isEmpty() || Palette.isEmpty())
        return;
    const QColor &first = Palette.first();
    R = static_cast<uchar>(first.red());
    G = static_cast<uchar>(first.green());
    B = static_cast<uchar>(first.blue());
    ClearFrame(0x63);
    for (ushort p : qAsConst(m_keys))
        PutKey(p, R, G, B);
    SendFrame(static_cast<uchar>(Level & 0xFF));
    Level = static_cast<ushort>(Rising ? Level + 10 : Level - 10);
    if (Level < 10) {
        Rising = 1;
        RotateForward(); // the next colour starts at the bottom of the fade
    } else if (Level > Ceiling) {
        Rising = 0;
    }
}
