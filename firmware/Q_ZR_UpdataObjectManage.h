#pragma once
#include "app/ProductRecord.h"

#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>

class QKeyLableItem;
struct DeviceRecord;
struct DownTask;

// Decides whether a device is offered new firmware, builds the device's firmware task and, once
// the firmware files are on disk, hands them to the updater of the task type, one after the
// other for a device + receiver pair. Everything runs on the GUI thread; the state that outlives
// a call (the pending list) is shared by all instances.
//
// The manager owns every task handed to StartUpdate: a task is freed when its update ended, or
// at once when it is refused.
class Q_ZR_UpdataObjectManage : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Task types of DownTask::type.
    enum : uint8_t { TaskLibrary = 10, TaskPixArt = 11, TaskGeehy = 12 };

    // Refreshes the tile's update button from the catalogue; true when a newer version is offered.
    static bool VersionText(DeviceRecord *dev, QKeyLableItem *tile);
    // Second-family devices: true when the Geehy catalogue version is above what the device
    // reports now (status probe through the device's worker record).
    static bool CheckNeedUpdate(DeviceRecord *dev);
    // The status probe: the firmware version the device reports (1..255), or -1.
    static int ProbeDeviceStatus(DeviceRecord *dev);

    // Folder and download address of a ZY-family device's firmware; both empty when the
    // catalogue has no entry for it.
    struct BuffFolder
    {
        QString folder;
        QString url;
    };
    static BuffFolder BuildBuffFolder(DeviceRecord *dev);

    // Entry point once the downloads of a device ended: one task, or the two tasks of a
    // device + receiver pair. Takes over every task of the list.
    static void StartUpdate(QVector<DownTask *> tasks);
    static void RunNextPending();
    // Starts the updater of the task type; false when the task was refused (nothing started).
    static bool RunUpdataFile(DownTask *task, bool more);

    // End-of-update steps of the updaters (success and failure paths).
    static void OnUpdateEnded();
    static void OnUpdaterDone();

    static QString DigitsOnly(const QString &text);
    static ProductRecord FindProductRecord(const QString &code);
    static QVector<ProductRecord> ProductsForIds(uint16_t vid, uint16_t pid, bool either);

    // True while an update of the pending chain runs or waits for its turn. The chain is an
    // open wait all that time (NestedWait): the program's end follows its last end step.
    static bool IsBusy();
    // How long the last task of a pair waits after the first one ended (2000 ms).
    static void SetPairWaitMs(int ms);
    // Picture paths of the dialog for a wired device and one reached through the receiver.
    static const char *const WiredPicture;
    static const char *const ReceiverPicture;
};
