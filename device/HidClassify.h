#pragma once
// Recognition of the maker's interfaces (shapes, kinds, report ids) and the three
// routines that open and classify them. On Linux an "interface" is one top-level
// collection of a hidraw node, with the report lengths Windows would give it.
#include "app/ProductRecord.h"
#include "platform/HidDescriptor.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

struct DeviceRecord;

// One enumerated interface: a TLC of a node.
struct HidInterfaceEntry
{
    QString path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t release = 0;
    QString productString;
    platform::HidTlc tlc;
};

// Every TLC of every HID node present, in enumeration order (each path once, its TLCs in
// descriptor order). A node whose descriptor is missing or malformed yields nothing.
QVector<HidInterfaceEntry> EnumerateHidInterfaces(uint16_t vendorId = 0, uint16_t productId = 0);

enum class ReportShape { None, A, B, C };
// A: feature 520, or input and output 20. B: feature 64, or output 64 with input 32 or 12.
// C: feature 65 with no input and no output.
ReportShape ShapeOf(int inputLength, int outputLength, int featureLength);

// True when the ids are present and both equal the entry's.
bool IdPairMatches(uint16_t vendorId, uint16_t productId, const std::optional<ProductIds> &ids);

// What classification decided for an interface.
struct Classification
{
    uint8_t kind = 0;
    uint8_t reportId = 0;
    uint8_t deviceType = 0;
    bool setsState = false;
    uint8_t state = 0;
};

// The first scan's rules (steps 2 to 4) for one interface; nothing when it is not taken.
std::optional<Classification> ClassifyFirstScan(const HidInterfaceEntry &entry);
// The re-open path's rules (step 2): no family test, shape B only with input 12, shape C.
std::optional<Classification> ClassifyReopen(const HidInterfaceEntry &entry);

// The three routines (GUI thread). Records are made with OpenDeviceRecord.
QList<DeviceRecord *> ScanAndOpenDevices();
DeviceRecord *ReopenDevice(uint32_t deviceId, uint16_t vendorId, uint16_t productId);
QList<DeviceRecord *> OpenArrivedSecondFamily(const QSet<uint32_t> &knownIds, uint32_t deviceId,
                                              uint16_t vendorId, uint16_t productId);

// Product lookups.
QVector<ProductRecord> FindProductList(uint16_t vendorId, uint16_t productId, bool includeReceiver);
bool ProductFlagByIds(uint16_t vendorId, uint16_t productId);
bool IsFamily4Product(uint16_t vendorId, uint16_t productId);
bool IsKnownCode(const QString &code);
ProductRecord FindProductByCodeText(const QString &code);
