#include "lighting/QEffct_Rotating_Windmill.h"

#include <algorithm>

void QEffct_Rotating_Windmill::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    Palette = SharedPalette();
    InitCommon(speed, luminance, multiColour, colour);
    LoadRows();
}

void QEffct_Rotating_Windmill::LoadRows()
{
    Rows = LoadRowGroup(QStringLiteral("ROTATING_WINDMILL"));
}

void QEffct_Rotating_Windmill::ReleaseEffct()
{
    Rows.clear();
}

void QEffct_Rotating_Windmill::NextFrame()
{
    const int n = Rows.size() & 0xFF;
    if (n == 0 || Palette.isEmpty())
        return;
    RotateBackward();
    const auto alpha = static_cast<ushort>(40 + 25 * Luminance);
    for (int i = 0; i < n; ++i) {
        const QColor &c = Palette.at(i % Palette.size());
        for (ushort key : Rows.at(i))
            if (key)
                Q_EMIT DispButtonColor(key, static_cast<uchar>(c.red()), static_cast<uchar>(c.green()),
                                       static_cast<uchar>(c.blue()), alpha);
    }
}
