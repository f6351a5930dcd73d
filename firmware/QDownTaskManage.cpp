#include "firmware/QDownTaskManage.h"
#include "firmware/CmdControlGeeHy.h"
#include "firmware/CmdControlPixArt.h"
#include "firmware/DownTask.h"
#include "firmware/QHttpDownload.h"
#include "firmware/QWebDeviceVersionCheck.h"
#include "firmware/Q_ZR_UpdataObjectManage.h"
#include "app/AppDirPath.h"
#include "app/IniOpeners.h"
#include "device/DeviceRecord.h"

QDownTaskManage *QDownTaskManage::Instance()
{
    static QDownTaskManage *manager = new QDownTaskManage;
    return manager;
}

void QDownTaskManage::AddTask(DownTask *task)
{
    if (!task || task->status != DownTaskNew)
        return;
    auto *down = new QHttpDownload(this);
    down->SetTask(task);
    m_downs.append(down);
    connect(down, &QHttpDownload::DownEnd, this, &QDownTaskManage::on_DownEnd);
    connect(down, &QHttpDownload::Signal_DownLoadProgress, this, &QDownTaskManage::on_Task_DownLoadProgress);
}

void QDownTaskManage::CancelTask(const DownTask *task)
{
    for (QHttpDownload *down : qAsConst(m_downs))
        if (task && down->Task() == task)
            down->Cancel();
}

void QDownTaskManage::on_statr()
{
    // Ended records of a batch still under way stay: they are handed back with the batch.
    for (QHttpDownload *down : qAsConst(m_downs)) {
        if (!down->IsStarted())
            connect(this, &QDownTaskManage::OpenDowns, down, &QHttpDownload::on_DownLoadedFile,
                    Qt::UniqueConnection);
    }
    // The thread only emits the start signal and ends at once; one still ending is waited for,
    // or its start() would be lost and the batch never begin.
    if (isRunning())
        wait();
    start();
}

void QDownTaskManage::run()
{
    Q_EMIT OpenDowns();
}

void QDownTaskManage::on_DownEnd(bool msucceed, QString errText)
{
    auto *down = qobject_cast<QHttpDownload *>(sender());
    if (!down || !m_downs.contains(down))
        return;
    if (down->Task())
        m_ended.append(down->Task());
    m_downs.removeAll(down);
    disconnect(down, nullptr, this, nullptr);
    down->deleteLater();
    if (!m_downs.isEmpty())
        return;
    // Taken out first: a receiver may start the next batch from inside its slot.
    QVector<DownTask *> batch = m_ended.toVector();
    m_ended.clear();
    m_handingOut += batch;
    Q_EMIT TaskEnd(batch.data(), batch.size());
    for (DownTask *task : qAsConst(batch)) {
        m_handingOut.removeOne(task);
        if (m_unowned.removeOne(task))
            DeleteDownTasks(&task, 1);
    }
}

void QDownTaskManage::ReleaseWhenEnded(const QVector<DownTask *> &tasks)
{
    for (DownTask *task : tasks) {
        if (!task || m_unowned.contains(task))
            continue;
        bool held = m_ended.contains(task) || m_handingOut.contains(task);
        for (const QHttpDownload *down : qAsConst(m_downs))
            held = held || down->Task() == task;
        if (held)
            m_unowned.append(task);
        else
            DeleteDownTasks(&task, 1);
    }
}

void QDownTaskManage::on_Task_DownLoadProgress(qlonglong bytesRead, qlonglong totalBytes)
{
    Q_EMIT CurrTaskDownLoadProgress(bytesRead, totalBytes);
}

DownTask *QDownTaskManage::MakeFirmwareTask(DeviceRecord *dev, const void *owner)
{
    DownTask *task = NewDownTask(owner);
    task->device = dev;
    task->ready = 1;
    if (!dev)
        return task;
    if (dev->subType == 1 || dev->subType == 2) {
        task->type = Q_ZR_UpdataObjectManage::TaskLibrary;
        const Q_ZR_UpdataObjectManage::BuffFolder buff = Q_ZR_UpdataObjectManage::BuildBuffFolder(dev);
        task->folder = buff.folder;
        task->url = buff.url;
        // The library names no limit of its own: the largest image any engine here takes.
        task->maxBytes = CmdControlPixArt::MaxImageBytes;
        task->needsLength = true;
        return task;
    }
    if (dev->subType != 4)
        return task;
    QWebDeviceVersionCheck *catalogue = QWebDeviceVersionCheck::Instance();
    const CatalogueEntry *entry = nullptr;
    QString chip;
    if (dev->kind == KindSecondFeatureWired || dev->kind == KindSecondFeatureReceiver) {
        task->type = Q_ZR_UpdataObjectManage::TaskPixArt;
        entry = catalogue->FindPixArtEntry(dev);
        chip = QStringLiteral("PixArt");
    } else if (dev->kind == KindSecondIoWired || dev->kind == KindSecondIoReceiver) {
        task->type = Q_ZR_UpdataObjectManage::TaskGeehy;
        entry = catalogue->FindGeehyEntry(dev);
        chip = QStringLiteral("Geehy");
    } else {
        return task;
    }
    // The device name becomes a folder: anything but one plain name gives no task.
    if (!IsSafeFileComponent(dev->name)) {
        task->type = 0;
        return task;
    }
    task->url = entry ? entry->recpath : QString();
    // Anything larger would be refused by the engine anyway; it is not worth the disk.
    task->maxBytes = task->type == Q_ZR_UpdataObjectManage::TaskGeehy ? CmdControlGeeHy::MaxImageBytes
                                                                      : CmdControlPixArt::MaxImageBytes;
    task->needsLength = true;
    task->folder = QStringLiteral("%1/Buff/%2/%3/").arg(AppDirPath(), dev->name, chip);
    return task;
}
