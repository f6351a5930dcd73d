#pragma once
#include <QImage>
#include <QString>
#include <QThread>
#include <QVariantMap>
#include <cstdint>

struct DeviceRecord;
class CmdControl;
typedef struct hid_device_ hid_device;

// Updates a mouse of the YX family through the protocol engine of its chip (PixArt or Geehy):
// stops the device's worker, hands the engine its parameters, starts the engine's thread and
// turns the engine's signals into dialog texts, progress and the manager's end-of-update step.
//
// Every start ends in exactly one end step: UpdateEnded() after the engine finished,
// UpdaterDone() after it failed. Only the first terminal signal of an engine run acts; later
// ones (and any from an earlier run) are logged and dropped.
class Q_YX_FW_Updata : public QThread
{
    Q_OBJECT
public:
    // What an update needs of its device record, copied when the update starts: the worker
    // is stopped then, and the record may go with the device while the engine runs.
    struct Target
    {
        bool valid = false;
        uint16_t vendorId = 0;
        uint16_t productId = 0;
        uint32_t deviceId = 0;
        uint8_t connectionState = 0;
        QString code;
        hid_device *handle = nullptr;
        int geehyVersion = -1; // the catalogue's Geehy version of the device; -1: none
    };

    static Q_YX_FW_Updata *Instance();
    explicit Q_YX_FW_Updata(QObject *parent = nullptr);
    ~Q_YX_FW_Updata() override;

    // The engine's parameters for a target and a firmware file.
    static QVariantMap EngineParams(const Target &target, const QString &path, bool pixArt);
    static Target TargetOf(DeviceRecord *record);

    // (device, null) for a PixArt update, (null, device) for a Geehy one.
    void SetDevices(DeviceRecord *pixArt, DeviceRecord *geehy);
    // Set when another task of a pair follows this one.
    void SetMoreToCome(bool more) { m_more = more; }
    bool MoreToCome() const { return m_more; }
    bool IsBusy() const { return m_runId != 0; }
    void ShowDialog(const QImage &picture) { m_picture = picture; }
    QImage Picture() const { return m_picture; }

public Q_SLOTS:
    void on_YXstartUpdata(QString pathFile);
    void on_finished();
    void on_failed(QString msg);
    void on_message(QString msg);

Q_SIGNALS:
    // Shows the update dialog.
    void popdlg();
    // The dialog's message line and progress.
    void Dispmessg(QString mesg);
    void UpdataStep(int Step);
    // The update has ended: the dialog's OK button is shown.
    void hidebutton();
    // The first update of a pair has ended: its dialog goes away for the second one.
    void hidedlg();
    // Not sent by this updater (it does not know the written version); kept so that the
    // manager can treat both updaters alike.
    void ButtonVersion(QString version);
    // The manager's end-of-update steps, always received on the GUI thread.
    void UpdateEnded();
    void UpdaterDone();

protected:
    void run() override;

private:
    void DetachEngine();
    // True for the first terminal signal of the current run only.
    bool ClaimEnd(quint64 runId, const char *what);

    bool m_more = false;
    CmdControl *m_engine = nullptr;
    bool m_pixArtChosen = true;
    DeviceRecord *m_pixArtDevice = nullptr;
    DeviceRecord *m_geehyDevice = nullptr;
    QString m_path;
    Target m_target;
    // The run whose end step is still owed; 0 when idle.
    quint64 m_runId = 0;
    quint64 m_lastRunId = 0;
    QImage m_picture;
};
