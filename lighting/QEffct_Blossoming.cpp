#include "lighting/QEffct_Blossoming.h"

#include <algorithm>

void QEffct_Blossoming::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    Palette = SharedPalette();
    InitCommon(speed, luminance, multiColour, colour);
    LoadRows();
}

void QEffct_Blossoming::LoadRows()
{
    Rows = LoadRowGroup(QStringLiteral("BLOSSOMING"));
}

void QEffct_Blossoming::NextFrame()
{
    const int n = Rows.size() & 0xFF;
    if (n == 0 || Palette.isEmpty()) {
        Q_EMIT ClearDisp();
        return;
    }
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
