#include "lighting/QEffct_Stars_Twinkle.h"

void QEffct_Stars_Twinkle::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    Palette = SharedPalette();
    InitCommon(speed, luminance, multiColour, colour);
    Level = Ceiling = static_cast<uchar>(((Luminance + 5) * 20) & 0xFF);
    // Each key once: with duplicates the lit set could never reach 60 % of the count.
    AllKeys.clear();
    for (ushort p : qAsConst(m_keys))
        if (!AllKeys.contains(p))
            AllKeys.append(p);
    KeyCount = AllKeys.size();
    LitKeys.clear();
    LitColours.clear();
    LitKeys.reserve(KeyCount);
    LitColours.reserve(KeyCount);
    Rising = 0;
}

void QEffct_Stars_Twinkle::SetLuminance(uchar luminance)
{
    QEffctBase::SetLuminance(luminance);
    Level = Ceiling = static_cast<uchar>((Luminance + 5) * 20);
}

void QEffct_Stars_Twinkle::NextFrame()
{
    const int n = KeyCount;
    if (n == 0)
        return;
    while (n * 0.6 > LitKeys.size()) {
        const ushort key = AllKeys.at(Random() % n);
        if (LitKeys.contains(key))
            continue;
        LitKeys.append(key);
        LitColours.append(Palette.size() > 8 ? Palette.at(Random() % Palette.size()) : QColor(255, 0, 0));
    }
    ClearFrame(0x00);
    for (int i = 0; i < LitKeys.size(); ++i) {
        if (MColour) {
            const QColor &c = LitColours.at(i);
            PutKey(LitKeys.at(i), static_cast<uchar>(c.red()), static_cast<uchar>(c.green()), static_cast<uchar>(c.blue()));
        } else {
            PutKey(LitKeys.at(i), R, G, B);
        }
    }
    SendFrame(Level);
    Level = static_cast<uchar>(Rising ? Level + 10 : Level - 10);
    if (Level >= 10 && Level > Ceiling) {
        Rising = 0;
    } else if (Level < 10) {
        Rising = 1;
        LitKeys.clear(); // keeps its capacity
        LitColours.clear();
    }
}
