#pragma once
#include <QColor>
#include <QVector>

// One drop running down a key column: a dimmed key, then the full colour, moving one key a step.
class RainDrop
{
public:
    void Start(const QVector<ushort> &keys, const QColor &colour);
    // Moves the drop one key on; false once it has run out of its column (its trail is then empty).
    bool Step();
    void ResetTrail(int count);

    int step = 0;
    QVector<ushort> keys;
    QVector<QColor> trail; // the colour of each key of the column in this frame
    QColor colour{255, 0, 0, 255};
};
