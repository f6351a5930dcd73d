#include "firmware/Q_ZY_FW_Updata.h"

#include "app/AppDirPath.h"
#include "app/LogWriter.h"
#include "app/QXM_Process.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "platform/UpdateLibrary.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {
// A firmware file whose base name holds this model text belongs to the keyboard whose page is
// open: that page is left before its device goes away.
const QString kProductPageModel = QStringLiteral("QK75");

Q_ZY_FW_Updata *s_shared = nullptr;
// The updater the library's callbacks report to: the one that started the current update.
std::atomic<Q_ZY_FW_Updata *> s_active{nullptr};

void IgnoreMessage(int) {}
}

Q_ZY_FW_Updata *Q_ZY_FW_Updata::Instance()
{
    if (!s_shared)
        s_shared = new Q_ZY_FW_Updata(AppDirPath());
    return s_shared;
}

Q_ZY_FW_Updata *Q_ZY_FW_Updata::ExistingInstance()
{
    return s_shared;
}

Q_ZY_FW_Updata::Q_ZY_FW_Updata(const QString &libraryFolder, QObject *parent)
    : QThread(parent), m_library(std::make_unique<UpdateLibrary>())
{
    m_library->Load(libraryFolder, &IgnoreMessage, &Q_ZY_FW_Updata::OnDllProcess,
                    &Q_ZY_FW_Updata::OnDllPercent);
    // States arrive on the library's threads; they are acted on here, on this object's thread.
    connect(this, &Q_ZY_FW_Updata::stateReported, this, &Q_ZY_FW_Updata::OnState,
            Qt::QueuedConnection);
    connect(this, &Q_ZY_FW_Updata::returnedWithoutState, this, &Q_ZY_FW_Updata::OnNoState,
            Qt::QueuedConnection);
}

Q_ZY_FW_Updata::~Q_ZY_FW_Updata()
{
    wait();
    Q_ZY_FW_Updata *self = this;
    s_active.compare_exchange_strong(self, nullptr);
    if (s_shared == this)
        s_shared = nullptr;
}

bool Q_ZY_FW_Updata::HasLibrary() const
{
    return m_library->IsLoaded();
}

bool Q_ZY_FW_Updata::ClaimEnd()
{
    return !m_ended.exchange(true);
}

void Q_ZY_FW_Updata::FailStart(uint cause)
{
    m_targetDeviceId = 0;
    m_ended = true;
    emit Dispmessg(GetLangText(411) + QLatin1Char('\n') + GetLangText(cause));
    emit hidebutton();
    emit UpdaterDone();
}

void Q_ZY_FW_Updata::on_startUpdata(QString pathFile)
{
    // One update at a time: the library holds a single file and a single device.
    if (m_busy)
        return;
    if (!m_library->IsLoaded()) {
        WriteLogLine(QStringLiteral("Update library not found: ") + UpdateLibrary::FilePath(AppDirPath()));
        FailStart(790);
        return;
    }
    QFile file(pathFile);
    if (!file.open(QIODevice::ReadOnly) || file.size() < MinFileSize) {
        FailStart(791);
        return;
    }
    const QByteArray header = file.read(HeaderSize);
    file.close();
    if (header.size() < HeaderSize) {
        FailStart(791);
        return;
    }
    if (QFileInfo(pathFile).baseName().contains(kProductPageModel)) {
        WriteLogLine(QStringLiteral("65"));
        emit quitProdunctPage();
    }
    QByteArray version = header.mid(VersionOffset, VersionLength);
    const int end = version.indexOf('\0');
    if (end >= 0)
        version.truncate(end);
    m_versionText = QString::fromLatin1(version);

    WriteLogLine(QStringLiteral("68"));
    if (m_library->LoadUpdateFile(pathFile) == 1) {
        FailStart(791);
        return;
    }
    WriteLogLine(QStringLiteral("81"));

    WriteLogLine(QStringLiteral("87"));
    // The update's own device, not whichever page was opened last.
    const uint32_t target = m_targetDeviceId;
    m_targetDeviceId = 0;
    if (HID_API *hid = HID_API::instance()) {
        DeviceRecord *device = target ? hid->DeviceById(target) : hid->CurrentDevice();
        if (device || target) {
            WriteLogLine(QStringLiteral("91"));
            hid->StopDeviceWorker(device ? device->deviceId : target, true);
        }
    }
    WriteLogLine(QStringLiteral("93"));

    s_active = this;
    m_busy = true;
    m_ended = false;
    start();
}

void Q_ZY_FW_Updata::run()
{
    emit dispdlg();
    m_running = true;
    const int result = m_library->StartUpdateProcess();
    m_running = false;
    if (result == 1) {
        // the language table is the GUI thread's: the text is looked up there, before the end step
        QMetaObject::invokeMethod(this, [this] {
            emit Dispmessg(GetLangText(412));
            emit hidebutton();
        }, Qt::QueuedConnection);
    }
    // The library owes one state per update; returning without one is a failed update.
    if (ClaimEnd())
        emit returnedWithoutState(result);
}

void Q_ZY_FW_Updata::OnNoState(int result)
{
    if (result != 1)
        emit Dispmessg(GetLangText(411));
    emit hidebutton();
    m_busy = false;
    emit UpdaterDone();
}

void Q_ZY_FW_Updata::OnDllPercent(int percent)
{
    if (Q_ZY_FW_Updata *self = s_active.load())
        emit self->UpdataStep(qBound(0, percent, 100));
}

void Q_ZY_FW_Updata::OnDllProcess(int state)
{
    Q_ZY_FW_Updata *self = s_active.load();
    if (self && self->ClaimEnd())
        emit self->stateReported(state);
}

void Q_ZY_FW_Updata::OnState(int state)
{
    if (state != 0) {
        emit Dispmessg(GetLangText(411));
        emit hidebutton();
        m_busy = false;
        emit UpdaterDone();
        return;
    }
    emit Dispmessg(GetLangText(886));
    // The device restarts; wait without blocking the window or nesting an event loop.
    QTimer::singleShot(m_restartWaitMs, this, [this] {
        emit Dispmessg(GetLangText(410) + QStringLiteral("\n ") + GetLangText(887));
        emit ButtonVersion(QString(m_versionText).remove(QLatin1Char('.')) + QStringLiteral("  "));
        emit hidebutton();
        m_busy = false;
        emit UpdateEnded();
    });
}
