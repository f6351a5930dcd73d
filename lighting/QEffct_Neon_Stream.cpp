#include "lighting/QEffct_Neon_Stream.h"

#include <algorithm>

void QEffct_Neon_Stream::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    InitCommon(speed, luminance, multiColour, colour);
    LoadRows();
}

void QEffct_Neon_Stream::LoadRows()
{
    Palette = SharedPalette();
    Rows = LoadRowGroup(QStringLiteral("NEON_STREAM"));
}

void QEffct_Neon_Stream::ReleaseEffct()
{
    Rows.clear();
    Palette.clear();
}

void QEffct_Neon_Stream::NextFrame()
{
    const int n = Rows.size() & 0xFF;
    if (n == 0)
        return;
    std::rotate(Rows.begin(), Rows.begin() + 1, Rows.end());
    if (MColour)
        RotateBackward();
    for (int i = 0; i < n; ++i) {
        uchar r = R, g = G, b = B;
        if (MColour && !Palette.isEmpty()) {
            const QColor &c = Palette.at(i % Palette.size());
            r = static_cast<uchar>(c.red());
            g = static_cast<uchar>(c.green());
            b = static_cast<uchar>(c.blue());
        }
        // From the third row on the value passes 255; the preview keeps 8 bits, so it is held at 255.
        const auto alpha = static_cast<ushort>(std::min(255, std::max(10, 5 * (8 * (i + 4) + Luminance))));
        const LightRow &row = Rows.at(i);
        const int length = row.size() & 0xFF;
        for (int j = 0; j < length; ++j)
            if (const ushort key = row.at(j))
                Q_EMIT DispButtonColor(key, r, g, b, alpha);
    }
}
