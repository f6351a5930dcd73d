#include "lighting/QEffct_Raindrops.h"

void QEffct_Raindrops::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    Palette = SharedPalette();
    InitCommon(speed, luminance, multiColour, colour);
    LoadRows();
}

void QEffct_Raindrops::LoadRows()
{
    Columns = LoadRowGroup(QStringLiteral("RAINDROPS"));
    Drops = QVector<RainDrop>(Columns.size());
    Running = QVector<bool>(Columns.size(), false);
}

void QEffct_Raindrops::ReleaseEffct()
{
    Palette.clear();
    Columns.clear();
    Drops.clear();
    Running.clear();
}

void QEffct_Raindrops::NextFrame()
{
    const int count = Columns.size() & 0xFF;
    if (count == 0)
        return;
    const int i = Random() % count;
    if (!Running.at(i)) {
        QColor colour(R, G, B, 255);
        if (MColour && !Palette.isEmpty()) {
            const QColor &first = Palette.first();
            colour = QColor(first.red(), first.green(), first.blue(), 255);
            RotateForward(); // successive drops take the colours in turn
        }
        Drops[i].Start(Columns.at(i), colour);
        Running[i] = true;
    }
    const auto alpha = static_cast<uchar>(((Luminance + 2) * 30) & 0xFF);
    ClearFrame(0xFF);
    for (int c = 0; c < Columns.size(); ++c) {
        if (!Running.at(c))
            continue;
        RainDrop &drop = Drops[c];
        if (drop.Step()) {
            const int length = drop.keys.size() & 0xFF;
            for (int j = 0; j < length; ++j) {
                const QColor &k = drop.trail.at(j);
                PutKey(drop.keys.at(j), static_cast<uchar>(k.red()), static_cast<uchar>(k.green()),
                       static_cast<uchar>(k.blue()));
            }
        } else {
            Running[c] = false;
        }
        SendFrame(alpha); // the columns drawn so far
    }
}
