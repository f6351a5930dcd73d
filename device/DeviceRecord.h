#pragma once
#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>

struct hid_device_;
typedef struct hid_device_ hid_device;
class QKeyBoradMApMange;
struct MouseConfigRecord;

// Connection state of an open interface.
enum ConnectionState : uint8_t { StateNone = 0, StateWired = 1, StateWirelessAwake = 2, StateWirelessAsleep = 3 };

// The record of one open HID interface: the handle plus the program's own fields.
struct DeviceRecord
{
    hid_device *handle = nullptr;
    uint16_t outputLength = 0;
    uint32_t inputLength = 0;
    uint16_t featureLength = 0;

    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint8_t reportId = 0;
    uint8_t deviceType = 0;
    uint16_t version = 0;
    std::atomic<uint8_t> connectionState{StateNone};
    uint32_t deviceId = 0;
    QString productString;
    QString name;
    QByteArray codeText;
    std::atomic<uint8_t> batteryLevel{100};
    std::atomic<uint8_t> batteryStatus1{0};
    std::atomic<uint8_t> batteryStatus2{0};
    std::atomic<uint8_t> statusByte{0};
    QKeyBoradMApMange *keyboardStore = nullptr;
    MouseConfigRecord *mouseData = nullptr;
    uint8_t managerFlag = 0;
    uint8_t subType = 1;
    QString path;
    uint8_t kind = 0;
};
