#pragma once
// The HID device emulator: virtual devices behind hidapi's C functions and the platform HID
// interface (platform/HidPlatform.h). Tests and quorix-hub-emu link it in place of hidapi; the
// program code under test is the production code, unchanged.
//
// Every model validates every request it receives and records a model error (qCritical and the
// error list below) for a malformed one; tests assert that emu::Errors() stays empty.
#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <memory>

// Plugs the devices named in the environment variable QUORIX_EMU (comma separated:
// keyboard, keyboard-receiver, mouse, mouse-receiver, mouse2, mouse2-receiver); quorix-hub-emu's
// main calls it before the main window is built and hands the nodes, by name, to its hand control.
QMultiMap<QString, uint32_t> EmuPlugFromEnvironment();

namespace emu {

class Device;

// One entry of the traffic log.
struct Traffic
{
    enum Op { Open, Close, Write, Read, SendFeature, GetFeature, Input };
    Op op = Write;
    uint32_t node = 0;      // the node's device id
    QByteArray bytes;       // what crossed the wire (Input: a report the device queued)
    int result = 0;         // the hidapi call's result
    qint64 atMs = 0;        // monotonic milliseconds since the emulator started
};

// Fault knobs of one virtual device. Changing them while a transfer runs is allowed; the knobs
// that count writes count from the moment they are set.
struct Knobs
{
    bool failOpen = false;          // hid_open_path of this node fails
    bool failWrites = false;        // every hid_write fails (-1)
    int failWritesAfter = -1;       // this many writes succeed, every later one fails (-1: off)
    bool failFeatures = false;      // send/get feature report fail (-1)
    int unplugAfterWrites = -1;     // unplugged right after this many reports written (output and feature)
    // echo faults of upload packets; applied to the first echoFaultSendings sendings (-1: all)
    bool noEcho = false;            // accepted packets get no right echo (mismatching ones still come)
    bool wrongChecksumEcho = false; // the echo differs in byte 19 only
    int mismatchingEchoes = 0;      // echoes with a changed data byte before the right one
    int echoFaultSendings = -1;
    bool noticeBeforeReply = false; // a wake notice (0x0A, sub-code 2, awake) before each reply
    int replyDelayMs = 0;           // every reply is queued this much later
    int writeDelayMs = 0;           // every write, output or feature report, takes this long
                                    // (outside the emulator's lock)
    // The models answer as plainly as a real device may: no command or tag echo and no sum in
    // replies whose readers need neither (code and settings replies, read-backs); table packets,
    // upload echoes and the 520-byte mouse image keep theirs, as their readers check them.
    bool plainAnswers = false;
    // table replies (GrabData)
    bool shuffleTable = false;      // packets in reverse order
    bool duplicateTable = false;    // packet 1 sent twice
    bool shortTable = false;        // the last packet is never sent
    bool corruptTable = false;      // packet 0 carries a wrong sum on the first request
};

// Devices of the sample catalogue (programdir/YProduct.xml).
enum class Model {
    KeyboardWired,      // QK75 3A7C:0101: 520-byte feature TLC (rid 6) + 20/20 TLC (rid 5) + boot keyboard
    KeyboardReceiver,   // QK75 3A7C:0102: 20/20 TLC (rid 5) + boot keyboard
    MouseWired,         // QM8 3A7C:0201: rid 6 TLC 20/20/520 + boot mouse
    MouseReceiver,      // QM8 3A7C:0202: rid 5 TLC 20/20/520
    SecondFamilyWired,  // QX3 3A7C:0301: feature-64 TLC + out 64 / in 32 TLC (rid 3)
    SecondFamilyReceiver // QX3 3A7C:0302: feature-64 TLC + out 64 / in 12 TLC (rid 3)
};

std::shared_ptr<Device> MakeDevice(Model model);
// A device of any ids with any descriptor that answers nothing (foreign or shape-C devices).
std::shared_ptr<Device> MakePlainDevice(uint16_t vid, uint16_t pid, const QByteArray &descriptor,
                                        const QString &product = QStringLiteral("Plain HID"));

// Plugs a device: it appears in the enumeration and an arrival notice goes to the hot-plug
// source. Returns the node's device id (the NNNN of its sysfs name).
uint32_t Plug(const std::shared_ptr<Device> &device, bool notify = true);
// Unplugs: every call on its handles fails from now on, waiting reads wake with -1.
void Unplug(uint32_t node, bool notify = true);
// Unplugs everything and forgets errors, traffic and counters; the time scale returns to 1.
void Reset();

std::shared_ptr<Device> DeviceOf(uint32_t node);
QString PathOf(uint32_t node);

// Shortens the protocol waits of the transport (platform::HidTimeScale); tests only.
void SetTimeScale(double scale);

QVector<Traffic> TrafficLog(uint32_t node = 0, int op = -1);
// The traffic log's clock: monotonic milliseconds since the emulator started.
qint64 ClockMs();
void ClearTraffic();
int OpenCount(uint32_t node);
int CloseCount(uint32_t node);
int OpenHandles(uint32_t node);
int TotalOpenCount();
// Reads made through hidapi (hid_read and hid_read_timeout) since the emulator started.
int64_t ReadCalls();

QStringList Errors();
void ClearErrors();

// Descriptor builders (real HID item encoding).
QByteArray VendorTlc(uint16_t usagePage, uint8_t usage, uint8_t reportId, int inputBytes, int outputBytes,
                     int featureBytes);
// A vendor TLC with a second output report (its own id, same or smaller size).
QByteArray VendorTlcWithOutput(uint16_t usagePage, uint8_t usage, uint8_t reportId, int inputBytes, int outputBytes,
                               uint8_t extraOutputId, int extraOutputBytes);
QByteArray BootKeyboardTlc(uint8_t reportId);
QByteArray BootMouseTlc(uint8_t reportId);

// The 8-bit sum of bytes 0 to 18 of a 20-byte report.
uint8_t Sum19(const QByteArray &report);

// A virtual device. Handlers run with the emulator's lock held.
class Device
{
public:
    Device(uint16_t vid, uint16_t pid, uint16_t release, const QString &product, const QByteArray &descriptor);
    virtual ~Device();

    uint16_t vendorId() const { return m_vid; }
    uint16_t productId() const { return m_pid; }
    uint16_t release() const { return m_release; }
    void SetRelease(uint16_t release) { m_release = release; } // while unplugged (new firmware)
    QString product() const { return m_product; }
    QByteArray descriptor() const { return m_descriptor; }
    uint32_t node() const { return m_node; }

    Knobs knobs() const;
    void setKnobs(const Knobs &knobs);

    // Queues an input report to every open handle of the node (hidraw semantics).
    void PushInput(const QByteArray &report, int delayMs = 0);
    // Records a model error: the program sent a request the device does not allow.
    void Fail(const QString &what);

    // Called by the emulator (lock held). Results as hidapi's.
    virtual int OnWrite(const QByteArray &data);
    virtual int OnSendFeature(const QByteArray &data);
    virtual int OnGetFeature(QByteArray &data); // data[0] = report id, size = requested length

protected:
    Knobs m_knobs;

private:
    friend struct EmuAccess;
    uint16_t m_vid, m_pid, m_release;
    QString m_product;
    QByteArray m_descriptor;
    uint32_t m_node = 0;
    bool m_unplugged = false;
    int m_writes = 0;
};

// A device of the 20-byte / 520-byte protocol (keyboard or mouse, wired or through a receiver).
class Device20 : public Device
{
public:
    Device20(Model model);

    bool isKeyboard() const { return m_keyboard; }
    bool isWired() const { return m_wired; }
    uint8_t shortReportId() const { return m_shortRid; }
    uint8_t featureReportId() const { return m_featureRid; }

    // Device state (thread-safe).
    void SetCode(const QByteArray &six);     // the six code bytes
    QByteArray Code() const;
    void SetAwake(bool awake);               // asleep: the code request gets no answer
    void SetPresent(bool present);           // a receiver without its device answers zeros
    void SetBattery(uint8_t level);
    // Sends a status notice [rid][0x0A][0][0][0][sub][value][extra...][sum].
    void InjectNotice(uint8_t subCode, uint8_t value, uint8_t extra1 = 0, uint8_t extra2 = 0, int delayMs = 0);

    // The data a table request with this command answers (GrabData), cut into 14-byte packets.
    void SetTable(uint8_t command, const QByteArray &data);
    int TableRequests(uint8_t command) const;

    // What the device received: completed uploads by command and block number (reassembled
    // data bytes), feature images by write command (0x03 key tables by layer in KeyLayer).
    QByteArray Upload(uint8_t command, int block = 0) const;
    int UploadCount(uint8_t command) const;
    QByteArray FeatureImage(uint8_t command) const;
    QByteArray KeyLayer(int layer) const;    // wired 0x03 or wireless 0x01 key table of a layer
    int PacketWrites() const;                // upload packets received (retransmissions included)

    int OnWrite(const QByteArray &data) override;
    int OnSendFeature(const QByteArray &data) override;
    int OnGetFeature(QByteArray &data) override;

private:
    void Reply(const QByteArray &report);
    void HandleUploadPacket(const QByteArray &data);
    void HandleTableRequest(uint8_t command);
    void HandleKeyboardFeature(const QByteArray &data);
    void HandleMouseFeature(const QByteArray &data);
    bool EchoFaulty();

    bool m_keyboard, m_wired;
    uint8_t m_shortRid, m_featureRid;
    QByteArray m_code;
    bool m_awake = true, m_present = true;
    uint8_t m_battery = 80;
    QMap<uint8_t, QByteArray> m_tables;
    QMap<uint8_t, int> m_tableRequests;
    struct Transfer { int count = 0; int next = 0; bool complete = false; QByteArray data; };
    QMap<int, Transfer> m_transfers;           // key: command * 16 + block
    QMap<int, QByteArray> m_uploads;           // key: command * 16 + block
    QMap<uint8_t, int> m_uploadCount;
    QMap<uint8_t, QByteArray> m_images;
    QMap<int, QByteArray> m_layers;
    QByteArray m_featureReply;
    int m_packetWrites = 0;
    int m_sendings = 0;
};

} // namespace emu
