#include "lighting/QEffct_Retro_Snake.h"

#include <QSettings>
#include <algorithm>
#include <memory>

void QEffct_Retro_Snake::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    InitCommon(speed, luminance, multiColour, colour);
    Path1Active = 1;
    Head = 0;
    LoadPaths();
}

void QEffct_Retro_Snake::LoadPaths()
{
    Palette = SharedPalette();
    Path1.clear();
    Path2.clear();
    std::unique_ptr<QSettings> ini(OpenRowsFile());
    if (!ini)
        return;
    Path1 = LightRowsFile::ReadList(*ini, QStringLiteral("RETRO_SNAKE/RowButton_1"));
    Path2 = LightRowsFile::ReadList(*ini, QStringLiteral("RETRO_SNAKE/RowButton_2"));
}

void QEffct_Retro_Snake::ReleaseEffct()
{
    Path1.clear();
    Path2.clear();
}

void QEffct_Retro_Snake::NextFrame()
{
    Q_EMIT ClearDisp();
    const LightRow &path = Path1Active ? Path1 : Path2;
    const int length = path.size() & 0xFF;
    if (length == 0)
        return;
    ++Head;
    for (int s = 0; s < 16 && Head - s >= 0; ++s) {
        // The head runs one ahead of a one-key path: only indices inside the path are read.
        const ushort key = Head - s < path.size() ? path.at(Head - s) : 0;
        if (key == 0)
            continue;
        const auto alpha = static_cast<ushort>(std::max(10, 5 * (5 * (Luminance + 4) - (s + 1))));
        if (MColour && !Palette.isEmpty()) {
            const QColor &c = Palette.at((s + 1) % Palette.size());
            Q_EMIT DispButtonColor(key, static_cast<uchar>(c.red()), static_cast<uchar>(c.green()),
                                   static_cast<uchar>(c.blue()), alpha);
        } else {
            Q_EMIT DispButtonColor(key, R, G, B, alpha);
        }
    }
    if (Head >= length - 1) {
        Path1Active = Path1Active ? 0 : 1;
        Head = -1; // the next frame starts the other path at its first key
    }
}
