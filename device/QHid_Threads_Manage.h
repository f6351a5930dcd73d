#pragma once
// The worker manager. Owns the protocol workers of all open devices; runs one
// command at a time on the current device's worker on its own thread; relays worker events.
//
// A request that arrives while a command runs is kept, with
// its own copy of its arguments, and performed when the running command ends (a newer request
// of the same command replaces an older one still waiting); the running command's arguments
// are never touched; a worker is never deleted while the manager's thread runs a command on it.
#include <QHash>
#include <QList>
#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QVector>
#include <QWaitCondition>
#include <atomic>
#include <cstdint>

struct DeviceRecord;
class QHid_Work_Interface;

class QHid_Threads_Manage : public QThread
{
    Q_OBJECT
public:
    explicit QHid_Threads_Manage(QObject *parent = nullptr);
    ~QHid_Threads_Manage() override;

    // The device whose page was opened last (set by the device list page); 0 at start.
    void SetCurrentDeviceId(uint32_t id) { m_CurrentDeviceId = id; }
    uint32_t CurrentDeviceId() const { return m_CurrentDeviceId; }

    QHid_Work_Interface *Worker(uint32_t deviceId) const;
    QHid_Work_Interface *CurrentWorker() const;
    QHid_Work_Interface *CreateWorker(uint32_t deviceId, DeviceRecord *device);
    bool AddWorker(uint32_t deviceId, QHid_Work_Interface *worker);
    void RemoveWorker(uint32_t deviceId);
    void StopAll();
    QList<uint32_t> WorkerIds() const;

    // The command last taken up by run; -1 before the first.
    int CommandCode() const;
    // Commands waiting behind the running one.
    int PendingCommands() const;
    // Blocks until no command runs or waits (tests and shutdown); false on time-out.
    bool WaitIdle(int timeoutMs);

Q_SIGNALS:
    void UpdataHidDevice(uint comID, uchar updadaEven);
    void HideBusy();
    void ShowBusy();
    void MessgBox(QString text);
    void ErrorPop(bool disp, int errcode);
    void mThreadInputKeyBoradLightChange();
    void mThreadInputKeyBoradLuckWinChange();
    void DpiInPut(uint _Dpi);
    void ThreadDPichange(uint comid, int v);
    // Relays to the lighting page and the on-screen keyboard (connected where those exist).
    void mChangeResetLightModelSucceed();
    void mChangeLightColorSucceed();
    void mCHangeLightSleep_LuminaSucceed();
    void mChangeMoreColorSucceed();
    void mChangeResetKeyvalueRetul(bool Succeed);

public Q_SLOTS:
    // requests (GUI thread)
    void on_KeyResetLightModel();
    void on_KeyResetLightModelColor();
    void on_KeyBoradLightSleep_Lumina();
    void on_KeyBoradLightMColor();
    void on_ChangeMousePram(uchar Typ, uint valu, uint valu1, uint valu2, uint valu3);
    void on_GrabKeyBoradConfigMaps();
    void on_ResetMouseCofig();
    void on_KeyBoard_Keys_Chenge(QString file, uchar ChangeLev);
    void on_KeyBoradConfigPramChange(uchar *data);
    void on_ResetKeyboradConfig(QString file);
    void updata_KeyConfig();
    void on_GrabMousePram();
    void on_MouseKeysValueCHange();
    void on_MouseUpdataConfigPram(uchar ConfigPramTyp);
    void on_RecoverMouseConfig();
    void on_ChangeDpis(QVector<uint> vlaues, int CurValue);
    void on_KeyBoradDiyColorChange();
    void on_SynchronizingDeviceData();
    void on_ChangeCurrntDpi(uint vlaue);
    void on_Usb_DispAudio(uchar *audiondata);
    void on_Usb_DispAudionEffct(double *buff, int len, int AudionTyp);
    void on_ChangeKeyBoardSucceed();
    void on_OPen_DlagoConfig();

    // relays of worker signals
    void on_Mouse_Dpi_Chenge(uint DeviceId, uchar leve);
    void on_Mouse_Dpi_Chenge(uint DeviceId, int value);
    void on_Device_Put_Chenge(uint DeviceId, bool put);
    void on_Code_Check_Retult(uint DeviceId, bool result);
    void on_mouse_Pow_Chenge(uint DeviceId, uchar pow);
    void on_mouse_Systime_Chenge(uint DeviceId, uchar Systime);
    void on_Device_Product_Chenge(uint DeviceId);
    void on_UnSleepTime();
    void on_ThreadInputKeyBoradLightChange();
    void on_ThreadInputKeyBoradLuckWinChange();
    void on_ChangeResetKeyvalueRetul(bool retuet);
    void on_ChangeResetLightModelSucceed();
    void on_ChangeLightColorSucceed();
    void on_CHangeLightSleep_LuminaSucceed();
    void on_ChangeMoreColorSucceed();

protected:
    void run() override;

private:
    struct Command
    {
        int code = -1;
        uint32_t deviceId = 0;
        QStringList strings;
        QByteArray block;      // command 7: a copy of the 520-byte configuration block
        bool hasBlock = false;
        uchar byteArg = 0;
    };
    void Submit(const Command &command);
    void Perform(QHid_Work_Interface *worker, const Command &command);
    void WaitUntilNotBusy(QHid_Work_Interface *worker); // m_Lock held

    std::atomic<uint32_t> m_CurrentDeviceId{0};
    QHash<uint32_t, QHid_Work_Interface *> m_Workers;
    mutable QMutex m_Lock; // guards the table, the queue and the fields below
    QWaitCondition m_Changed;
    QList<Command> m_Pending;
    bool m_RunActive = false;
    QHid_Work_Interface *m_Busy = nullptr;
    // the command taken up last
    int m_CommandCode = -1;
    QStringList m_StringArgs;
    bool m_HasConfigBlock = false;
    uchar m_ByteArg = 0;
};
