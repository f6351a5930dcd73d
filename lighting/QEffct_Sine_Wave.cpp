#include "lighting/QEffct_Sine_Wave.h"

#include <algorithm>

void QEffct_Sine_Wave::InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour)
{
    Palette = SineWavePalette();
    InitCommon(speed, luminance, multiColour, colour);
    LeadRising = 1;
    Follower = -1;
    Lead = -1;
    FollowerRising = 1;
    LoadRows();
}

void QEffct_Sine_Wave::LoadRows()
{
    Rows = LoadRowGroup(QStringLiteral("SINE_WAVE"));
}

void QEffct_Sine_Wave::ReleaseEffct()
{
    Rows.clear();
    Palette.clear();
}

void QEffct_Sine_Wave::NextFrame()
{
    const int n = Rows.size() & 0xFF;
    Q_EMIT ClearDisp();
    if (n == 0)
        return;
    if (MColour)
        RotateBackward();
    for (int i = 0; i < n; ++i) {
        const LightRow &row = Rows.at(i);
        const int length = row.size() & 0xFF;
        int at;
        if (i == 0) {
            Lead = static_cast<qint16>(LeadRising ? Lead + 1 : Lead - 1);
            if (Lead < 0) {
                LeadRising = 1;
                Lead = 1;
            } else if (Lead >= length) {
                LeadRising = 0;
                Lead = static_cast<qint16>(std::max(length - 4, 0)); // a row under 4 keys turns at its start
            }
            at = Lead;
            Follower = Lead;
        } else {
            if (i % 2 == 1)
                Follower = static_cast<qint16>(FollowerRising ? Follower + 1 : Follower - 1);
            if (Follower <= 0) {
                FollowerRising = 1;
                Follower = 0;
            } else if (Follower >= length) {
                FollowerRising = 0;
                Follower = static_cast<qint16>(length);
            }
            at = Follower;
        }
        // Only indices inside the row are read.
        const ushort centre = at >= 0 && at < row.size() ? row.at(at) : 0;
        const ushort previous = at >= 1 && at - 1 < row.size() ? row.at(at - 1) : 0;
        const ushort next = at + 1 < length ? row.at(at + 1) : 0;
        uchar r = R, g = G, b = B;
        if (MColour && !Palette.isEmpty()) {
            const QColor &c = Palette.at(i % Palette.size());
            r = static_cast<uchar>(c.red());
            g = static_cast<uchar>(c.green());
            b = static_cast<uchar>(c.blue());
        }
        if (centre)
            Q_EMIT DispButtonColor(centre, r, g, b,
                                   static_cast<ushort>(std::max(10, 5 * (Luminance + (i % 2 ? 32 : 26)) - 2 * i)));
        if (previous)
            Q_EMIT DispButtonColor(previous, r, g, b, static_cast<ushort>(25 * (Luminance + 2)));
        if (next)
            Q_EMIT DispButtonColor(next, r, g, b, static_cast<ushort>(std::max(10, 25 * Luminance)));
    }
}
