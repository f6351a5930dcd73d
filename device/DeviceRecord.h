#pragma once
// The record of one open HID interface (one top-level collection on Linux).
#include <QByteArray>
#include <QString>
#include <QVector>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

struct hid_device_;
typedef struct hid_device_ hid_device;
class QKeyBoradMApMange;
struct MouseConfigRecord;
namespace platform { struct HidTlc; }

// Connection state of an open interface.
enum ConnectionState : uint8_t { StateNone = 0, StateWired = 1, StateWirelessAwake = 2, StateWirelessAsleep = 3 };

// DeviceKind: chosen when the interface is classified; it chooses the worker class.
enum DeviceKind : uint8_t {
    KindKeyboardWired = 0, KindKeyboardReceiver = 1,
    KindMouseWired = 2, KindMouseReceiver = 3,
    KindOutsideWired = 4, KindOutsideReceiver = 5,
    KindSecondFeatureWired = 6, KindSecondFeatureReceiver = 7,
    KindSecondIoWired = 8, KindSecondIoReceiver = 9
};

// The HID library's handle with the program's fields. Created by OpenDeviceRecord, released by
// CloseDeviceRecord. Fields written by worker threads are atomic; the texts a worker writes
// (the code text) sit behind the record's own lock and are read as copies. The name is the GUI
// thread's: written there only, under the lock, so that workers can read it through Name().
struct DeviceRecord
{
    // ---- the library part ----
    hid_device *handle = nullptr;
    uint16_t outputLength = 0;   // byte counts that include the report id byte
    uint32_t inputLength = 0;
    uint16_t featureLength = 0;
    bool usesReportIds = false;
    QVector<uint8_t> inputIds;   // input report ids of this TLC (the read drops others)
    // Serialises every hidapi call on the handle (listener and commands may overlap).
    mutable std::recursive_mutex io;

    // ---- the program's fields ----
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint8_t reportId = 0;
    uint8_t deviceType = 0;      // 1 mouse, 2 keyboard
    std::atomic<uint16_t> version{0};
    std::atomic<uint8_t> connectionState{StateNone};
    uint32_t deviceId = 0;
    QString productString;       // set on the GUI thread before a worker starts
    QString name;                // catalogue product name: GUI thread only, written through SetName
    std::atomic<uint8_t> batteryLevel{100};
    std::atomic<uint8_t> batteryStatus1{0};
    std::atomic<uint8_t> batteryStatus2{0};
    std::atomic<uint8_t> statusByte{0};
    QKeyBoradMApMange *keyboardStore = nullptr; // owned: released with the record
    std::shared_ptr<MouseConfigRecord> mouseData;
    std::atomic<uint8_t> managerFlag{0};
    uint8_t subType = 1;         // 1 keyboard, 2 mouse of the 20/520 protocol, 4 second family
    QString path;
    uint8_t kind = 0;            // DeviceKind

    QString CodeText() const;
    void SetCodeText(const QString &code);
    // A copy of the name for threads other than the GUI thread.
    QString Name() const;
    void SetName(const QString &text);
    QString LastError() const;
    void SetLastError(const QString &text);

private:
    mutable std::mutex m_textLock;
    QString m_codeText;
    QString m_lastError;
};

// Opens one TLC of an interface path: hid_open_path, the three report lengths and the input ids
// from the TLC. Null when the open fails.
DeviceRecord *OpenDeviceRecord(const QString &path, const platform::HidTlc &tlc);
// hid_close and release of the record (and of its keyboard store). Null does nothing.
void CloseDeviceRecord(DeviceRecord *record);

// The device id of a Windows path: third "#" part, second "&" field, hexadecimal; 0 otherwise.
uint32_t DeviceIdFromPath(const QString &path);
// The device id of any interface path: the Windows parse for Windows paths, else the sequence
// number of the HID device's sysfs name (one per USB interface, never 0); 0 when unknown.
uint32_t InterfaceDeviceId(const QString &path);

uint16_t DeviceVersionNumber(DeviceRecord *record);
QString ReadProductString(DeviceRecord *record);
void SetDevicePath(DeviceRecord *record, const QString &path);
void SetDeviceProductString(DeviceRecord *record, const QString &text);

// The record's hidapi calls, each under the record's lock. -1 on failure (error text kept).
int RecordWrite(DeviceRecord *record, const unsigned char *data, int length);
int RecordSendFeature(DeviceRecord *record, const unsigned char *data, int length);
int RecordGetFeature(DeviceRecord *record, unsigned char *data, int length);

// The status-aware read: bytes read, 0 on time-out, -1 on error. Input reports of
// other TLCs of the node (report id not among the record's input ids) are dropped. No leading
// zero is dropped on Linux. *status: +1 awake notice, -1 asleep notice, else 0.
int hid_read_timeout_status(DeviceRecord *record, unsigned char *buffer, int length, int timeoutMs, int *status);
