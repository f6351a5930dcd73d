#include "lighting/QEffct_Colorful_Waterfall.h"

#include <algorithm>

void QEffct_Colorful_Waterfall::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    Palette = SharedPalette();
    InitCommon(speed, luminance, multiColour, colour);
    LoadRows();
}

void QEffct_Colorful_Waterfall::LoadRows()
{
    Rows = LoadRowGroup(QStringLiteral("COLORFUL_WATERFALL"));
}

void QEffct_Colorful_Waterfall::ReleaseEffct()
{
    Rows.clear();
    Palette.clear();
}

void QEffct_Colorful_Waterfall::NextFrame()
{
    const int n = Rows.size() & 0xFF;
    if (n == 0 || Palette.isEmpty()) {
        Q_EMIT ClearDisp();
        return;
    }
    RotateBackward();
    for (int i = 0; i < n; ++i) {
        const QColor &c = Palette.at(i % Palette.size());
        const auto alpha = static_cast<ushort>(std::max<qint16>(10, static_cast<qint16>((4 - i) * 20 + 25 * Luminance)));
        for (ushort key : Rows.at(i))
            if (key)
                Q_EMIT DispButtonColor(key, static_cast<uchar>(c.red()), static_cast<uchar>(c.green()),
                                       static_cast<uchar>(c.blue()), alpha);
    }
}
