#pragma once
// The outside component that drives the mouse kinds 4 and 5. Only the operations the worker
// calls are declared; no implementation ships with the program.
#include <QByteArray>
#include <QVector>
#include <cstdint>

class OutsideMouseDevice
{
public:
    virtual ~OutsideMouseDevice() = default;
    // The device's version text; "00.00.00.00" when the device gave no valid answer.
    virtual void Version(QByteArray &text) = 0;
    // One DPI value per stage, in stage order.
    virtual void DpiList(QVector<uint32_t> &values) = 0;
    virtual uint32_t CurrentDpi() = 0;
    // The parameter of index 1 to 9 in a (index 8 also b and c); an output left at -1 means the
    // device did not answer.
    virtual void Parameter(int index, int &a, int &b, int &c, int &d) = 0;
};
