#include "lighting/RainDrop.h"

void RainDrop::Start(const QVector<ushort> &column, const QColor &dropColour)
{
    colour = dropColour;
    keys = column; // shared with the column, not copied
    step = 0;
    trail.reserve(keys.size() + 2);
}

void RainDrop::ResetTrail(int count)
{
    trail.clear(); // keeps its capacity
    for (int i = 0; i < (count & 0xFF); ++i)
        trail.append(QColor(0, 0, 0, 255));
}

bool RainDrop::Step()
{
    const int length = keys.size() & 0xFF;
    if (length == 0) {
        trail.clear();
        return false;
    }
    ResetTrail(step);
    trail.append(QColor(int(colour.red() * 0.7), int(colour.green() * 0.7), int(colour.blue() * 0.7), 255));
    trail.append(QColor(colour.red(), colour.green(), colour.blue(), 255));
    while (trail.size() < length)
        trail.append(QColor(0, 0, 0, 255));
    ++step;
    if (step == length) {
        trail.clear();
        return false;
    }
    return true;
}
