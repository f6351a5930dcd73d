#pragma once
#include <QByteArray>
#include <QVector>
#include <cstdint>

namespace platform {

// One top-level collection (TLC) of a HID report descriptor, with the report byte lengths that
// Windows reports for it: the largest report of that type in the TLC plus one byte for the
// report id (always counted, even without report ids), 0 when the TLC has none of that type.
struct HidTlc
{
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    int inputLength = 0;
    int outputLength = 0;
    int featureLength = 0;
    bool usesReportIds = false;     // the descriptor declares report ids
    QVector<uint8_t> inputIds;      // report ids of the TLC's input reports (sorted, unique)
    QVector<uint8_t> outputIds;
    QVector<uint8_t> featureIds;

    bool hasInputId(uint8_t id) const { return inputIds.contains(id); }
};

// Splits a report descriptor into its top-level collections. A truncated or nonsensical
// descriptor (an item running past the end, unbalanced collections, a main item outside any
// collection, report id 0, a pop without push, absurd sizes) gives an empty list and *ok = false.
QVector<HidTlc> ParseReportDescriptor(const QByteArray &descriptor, bool *ok = nullptr);

} // namespace platform
