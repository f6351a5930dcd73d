#pragma once
// Worker of the second mouse family: one worker for the feature-report interface (the command
// device, kinds 6 and 7) and the output/input interface (the listening device, kinds 8 and 9)
// of one mouse. Settings travel as a 56-byte image in 'P'-tagged 64-byte feature reports.
#include "app/ProductRecord.h"
#include "device/QHid_Work_Interface.h"

#include <QByteArray>
#include <QList>

struct MouseKeyRow;

class ZR_YX_MouseThread : public QHid_Work_Interface
{
    Q_OBJECT
public:
    static constexpr int kImageLength = 56;
    static constexpr int kMaxStages = 15; // the stage byte holds the count in one hex digit

    explicit ZR_YX_MouseThread(QObject *parent = nullptr);

    void SetCommandDevice(DeviceRecord *device) { m_CommandDevice = device; }
    DeviceRecord *CommandDevice() const { return m_CommandDevice; }

    QString ReadDeviceCode() override;
    bool CheckOnline() override;
    // The selected button's assignment; for a macro row every macro row's macro is uploaded first.
    void WriteKeys() override;
    void WriteDpiTable() override;
    void RecoverConfig() override { ResetDevice(); }
    void ApplyDefaults() override;
    void SynchronizingDeviceData() override;
    void SetParam(uchar code, uint v1, uint v2, uint v3, uint v4, uint v5, uint v6) override;
    void StartListening() override;
    void StopListening() override;

    bool IsDeviceOnline();
    void ResetDevice();
    bool VerifyReply(const QByteArray &sent);
    static ProductRecord FindProductByCode(const QString &code);
    // A new settings record from the 56 image bytes and the 20 information bytes, attached to the
    // command device; false (nothing attached) for short input.
    bool ParseConfigText(const QByteArray &image, const QByteArray &info);
    // Opens a block upload of size bytes. Readiness is waited for, not required; false only when
    // the mouse did not take a frame (it is gone), so that no data follow into nothing.
    bool BeginBlockWrite(uint32_t size);
    // One readiness read: true when the reply has a non-zero byte from byte 5 on.
    bool WaitReady();
    // Handles one input report of the listening device; true when it was a status notice.
    bool HandleNotice(const uchar *report, int length);

    // The frame for the bytes from byte 2 on: the command device's length, report id, sum.
    QByteArray Frame(const QByteArray &fromByte2) const;
    // The report-rate code for a rate at a device maximum.
    static uint8_t RateCode(uint32_t rate, uint32_t maxRate);

    // One frame exchange: sent, then read back into reply as it comes; false when either call
    // failed.
    bool Exchange(const QByteArray &frame, QByteArray *reply, int waitMs, bool readBack = true);

protected:
    void run() override;

private:
    bool SendStages();
    // WaitReady until it succeeds, waitMs after each poll, at most 11 polls; logs when the mouse
    // never got ready. The caller goes on either way.
    void PollReady(int waitMs, const QString &after);
    // The code query of the interface's kind; stores code and name of a catalogue product.
    bool QueryCode(bool receiver, QByteArray *reply, QString *code);
    // Sends a frame without reading it back, then waits.
    bool SendOnly(const QByteArray &frame, int waitMs);
    // One feature report of the command device into a fresh buffer (byte 0 the report id).
    bool ReadBack(QByteArray &buffer);
    int FrameLength() const;
    // The byte 5 of the block frames: 1 through the receiver, 0 wired.
    uint8_t BlockWay() const;
    void WriteKeyRow(uint8_t key, const QString &code);
    void UploadMacros(const QList<MouseKeyRow> &rows);
    void SetBothStates(uint8_t state);
};
