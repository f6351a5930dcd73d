#pragma once
// The transport worker base of every per-device protocol worker: the
// 20-byte ShortReport, status notices, the device-code request, the one-task run, the listener
// restart rule, and the packet transfers (echoed upload packets, configuration images, key
// tables, macros, the mouse key map and table reads).
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVector>
#include <atomic>
#include <cstdint>

struct DeviceRecord;
class QKeyBoradMApMange;

class QHid_Work_Interface : public QThread
{
    Q_OBJECT
public:
    static constexpr int kDefaultReplyTimeoutMs = 6000;
    static constexpr int kDefaultRetransmissions = 3;

    explicit QHid_Work_Interface(QObject *parent = nullptr);
    ~QHid_Work_Interface() override;

    // ---- fields ----
    std::atomic<int> m_OperationResult{0};
    std::atomic<uint32_t> m_DeviceId{0};
    QString m_KeyFile;
    int m_ChangedLayer = 0;
    std::atomic<uint8_t> m_ListenFlag{0};
    DeviceRecord *m_Device = nullptr;
    DeviceRecord *m_CommandDevice = nullptr;
    void *m_DeviceObject = nullptr;
    std::atomic<uint8_t> m_TaskCode{0};
    std::atomic<int> m_GrabResult{0};
    std::atomic<bool> m_CodePresent{false};
    QString m_DeviceIdText;
    // The firmware version of the device's second chip (the sensor behind a receiver); 0 = not read.
    std::atomic<uint16_t> m_Version{0};

    // The reply time-out and retransmission count; a value of 0 or less (a missing "HidParam"
    // key) falls back to the defaults, 6000 ms and 3.
    void SetReplyTimeout(int ms);
    void SetRetransmissions(int count);
    int ReplyTimeout() const { return m_ReplyTimeout; }
    int Retransmissions() const { return m_Retransmissions; }

    // ---- virtual device operations (the manager calls them by these names) ----
    virtual void SetOptionFlag(uchar flag);
    virtual void ReadStatusOnce(uchar timeoutMs);
    virtual QString ReadDeviceCode();
    virtual bool CheckOnline();
    virtual void WriteKeys();
    // A failed WriteKeys has said its cause itself: the manager adds no generic tip.
    virtual bool WriteKeysSaysWhy() const { return false; }
    virtual void WriteDpiTable();
    virtual void WriteConfigBlock();
    virtual void RestartListening();
    virtual void WriteDiyColorMap();
    virtual void RecoverConfig();
    virtual void ApplyDefaults();
    virtual void SynchronizingDeviceData();
    virtual void ChangeLightModel();
    virtual void ChangeLightMColor();
    virtual void ChangeLightColor();
    virtual void ChangeLightSpeedLuminance();
    virtual void QueueCommand(uchar *buffer, int length, int type);
    virtual void CommandMarker(uchar *marker);
    virtual void SetParam(uchar code, uint v1, uint v2, uint v3, uint v4, uint v5, uint v6);
    virtual void StartListening();
    virtual void StopListening();

    // ---- short reports, notices, the code request, the listener ----
    void SetDevice(DeviceRecord *device);
    // Sets the command record and the listening record (null: that one stays) of a worker whose
    // listener may run: it reads both in its loop, so it is stopped for the change and restarted.
    void SetDevices(DeviceRecord *command, DeviceRecord *listening);
    DeviceRecord *Device() const { return m_Device; }
    int ReadReport(DeviceRecord *device, uchar *buffer, int length, int timeoutMs);
    int ReadReportWithStatus(DeviceRecord *device, uchar *buffer, int length, int timeoutMs);
    QString RequestGrabCode();
    bool CheckAwake();
    void GrabCodeTask(int &result);
    void ReadDeviceId(QString &idText);
    bool IsSpecialReceiver() const;
    void StartTask();
    void StopListener();
    QKeyBoradMApMange *KeyMap();
    uchar *DiyColorMap();
    uchar ReadBatteryLevel();

    // ---- packet transfers ----
    int SendPackets(uchar *packet, int length = 20);
    bool ComparePacket(const uchar *sent, const uchar *received, int length);
    bool SendConfigPackets(const uchar *buffer, int total, uchar command, int start = 8, int packetSize = 20);
    // causeSaid: the caller tells the user why a failed write failed, so the macro block's own
    // pop-up ("Send Maocr Err") does not say it a second time.
    bool WriteKeyTable(bool causeSaid = false);
    bool SendKeyPackets(uchar *table, int layer, int length = 520);
    // tooLarge, when given, tells a block refused for its size from one with a macro missing.
    QByteArray MacroFileToPackets(const QStringList &macros, bool *tooLarge = nullptr);
    QByteArray MacroFileToBytes(const QStringList &macros, bool *tooLarge = nullptr);
    bool SendMacroData(const QStringList &macros);
    bool WriteMouseKeyMap(const QMap<uint16_t, QString> &map);
    void GrabData(QByteArray &out, int &status, int expected, const uchar *request, int lengthIndex = 4,
                  int dataOffset = 5);

    // The record's report time-out waits are scaled for tests only (platform::HidTimeScale).
    static int Ms(int ms);

Q_SIGNALS:
    void Mouse_Dpi_Chenge(uint DeviceId, int value);
    void Mouse_Dpi_Chenge(uint DeviceId, uchar leve);
    void Device_Put_Chenge(uint DeviceId, bool put);
    void Code_Check_Retult(uint DeviceId, bool result);
    void mouse_Pow_Chenge(uint DeviceId, uchar pow);
    void mouse_Systime_Chenge(uint DeviceId, uchar Systime);
    void Device_Product_Chenge(uint DeviceId);
    void deviceChargeState(uint DeviceId, bool inpow);
    void unSleepTime();
    void ChangeResetLightModelSucceed();
    void ChangeLightColorSucceed();
    void CHangeLightSleep_LuminaSucceed();
    void ChangeMoreColorSucceed();
    void ChangeResetKeyvalueRetul(bool Succeed);
    void ErrorPop(bool biock, int errcode);
    void MessgBox(QString text);
    void DomPopMessge(QString t, QString m);
    void HideBusy();
    void ShowBusy();
    void ThreadInputKeyBoradLightChange();
    void ThreadInputKeyBoradLuckWinChange();
    // A colour frame of the keyboard for the on-screen keyboard, and the audio effect's turn.
    void updataKeyboraddui(uchar *frame);
    void updataaudioneffct();

public Q_SLOTS:
    void on_ThreadReset();
    void on_MouseConfigInfo();
    void on_ResetKeyBoradLightMColor(int Model, bool pen);
    void on_UpdataMousePram(uchar Typ);
    void on_RecoverMouseConfig();
    void on_MouseResetKeys();

protected:
    // MessgBox / DomPopMessge by text ids, callable from the worker's thread: the texts are looked
    // up on the GUI thread, which owns the language table and rebuilds it on a language change.
    void PostMessgBox(uint textId);
    void PostDomPopMessge(uint titleId, uint messageId);
    // The record's name is the GUI thread's to write (it reads it there without the lock): set
    // at once on that thread, posted to it from any other.
    void PostDeviceName(DeviceRecord *record, const QString &name);
    void run() override;
    void RunTask(uint8_t code);
    void MarkAsleep();
    QString ProductFolder() const;
    // The macro file of a name in the device's product folder; empty when folder or name is
    // not one safe path component.
    QString MacroFile(const QString &name) const;

    int m_ReplyTimeout = kDefaultReplyTimeoutMs;
    int m_Retransmissions = kDefaultRetransmissions;
};

// Helpers of the transfers.
QByteArray SliceKeyTable(const uchar *buffer, int total, int index, int slice = 14, int skip = 8);
uchar *KeyTableFromLayout(const QString &layoutPath, int layer);
uchar *HexListToBuffer(const QStringList &items);
QByteArray HexStringToBytes(const QString &text);
void BytesToHex(uchar byte, int &high, int &low);
bool EndsWithTrailer(const QList<uchar> &bytes, int length);
bool IsAllZero(const uchar *bytes, int n);
bool GetFeatureReport(DeviceRecord *device, uchar *buffer, int length);
bool SetFeatureReport(DeviceRecord *device, uchar *buffer, int length);
QKeyBoradMApMange *GetDeviceKeyMap(DeviceRecord *device);
// The macro block from the macros' recorded bytes; empty when any is empty or the block
// would not fit its 16-bit lengths (then tooLarge, when given, is set).
QByteArray BuildMacroBlock(const QList<QByteArray> &macros, bool *tooLarge = nullptr);
