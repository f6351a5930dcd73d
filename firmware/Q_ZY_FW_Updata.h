#pragma once
#include <QImage>
#include <QString>
#include <QThread>
#include <atomic>
#include <memory>

class UpdateLibrary;

// Updates devices of the ZY chip family through the outside update library: checks the firmware
// file, hands it to the library, runs the library's blocking update call on this thread and turns
// the library's callbacks into dialog texts, progress and the manager's end-of-update step.
//
// Every start ends in exactly one end step: UpdateEnded() after a device was written and
// restarts, UpdaterDone() after any failure (no library, a short file, a refused file, a failed
// state, or an update call that returned without reporting a state).
class Q_ZY_FW_Updata : public QThread
{
    Q_OBJECT
public:
    // The shared updater; loads the library from the program folder on first use.
    static Q_ZY_FW_Updata *Instance();
    // The shared updater when it was created; never creates it (nor loads the library).
    static Q_ZY_FW_Updata *ExistingInstance();

    // An updater over the library of the given folder (the shared one uses the program folder).
    explicit Q_ZY_FW_Updata(const QString &libraryFolder, QObject *parent = nullptr);
    ~Q_ZY_FW_Updata() override;

    bool HasLibrary() const;
    bool IsRunning() const { return m_running; }
    QString FirmwareVersionText() const { return m_versionText; }
    void ShowDialog(const QImage &picture) { m_picture = picture; }
    QImage Picture() const { return m_picture; }
    // The device the next start stops for its update; without one (0) the current device.
    void SetTargetDevice(uint32_t deviceId) { m_targetDeviceId = deviceId; }
    // How long a restarting device is given before the success texts (5000 ms).
    void SetRestartWaitMs(int ms) { m_restartWaitMs = ms; }

    // Callbacks handed to the library; they run on any thread and only queue signals.
    static void OnDllPercent(int percent);
    static void OnDllProcess(int state);

    static constexpr int MinFileSize = 200;
    static constexpr int HeaderSize = 102;
    static constexpr int VersionOffset = 0x20;
    static constexpr int VersionLength = 6;

public Q_SLOTS:
    void on_startUpdata(QString pathFile);

Q_SIGNALS:
    void UpdataSucceed();
    void Updatafail();
    void UpdataStep(int Step);
    void quitProdunctPage();
    void dispdlg();
    void hidebutton();
    void Dispmessg(QString mesg);
    // The version shown on the dialog's version button after a successful update.
    void ButtonVersion(QString version);
    // The manager's end-of-update steps, always received on the GUI thread.
    void UpdateEnded();
    void UpdaterDone();

    // From the library's threads to this object's thread.
    void stateReported(int state);
    void returnedWithoutState(int result);

protected:
    void run() override;

private:
    // A start refused before the library had the device: the failure text with its cause (text id).
    void FailStart(uint cause);
    void OnState(int state);
    void OnNoState(int result);
    bool ClaimEnd();

    std::unique_ptr<UpdateLibrary> m_library;
    std::atomic<bool> m_running{false};
    // Set by the first state of a run (or by its end when none came): later states are ignored.
    std::atomic<bool> m_ended{true};
    // From a start until its end step was sent (GUI thread only): a second start is refused.
    bool m_busy = false;
    QString m_versionText;
    QImage m_picture;
    int m_restartWaitMs = 5000;
    uint32_t m_targetDeviceId = 0;
};
