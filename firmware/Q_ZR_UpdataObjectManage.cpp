#include "firmware/Q_ZR_UpdataObjectManage.h"

#include "firmware/DownTask.h"

const char *const Q_ZR_UpdataObjectManage::WiredPicture = ":/new/prefix1/Imges/icons8_sugar_cube_200px.png";
const char *const Q_ZR_UpdataObjectManage::ReceiverPicture = ":/new/prefix1/Imges/icons8_usb_off_200px.png";

namespace {
int s_pairWaitMs = 2000;
}

bool Q_ZR_UpdataObjectManage::VersionText(DeviceRecord *, QKeyLableItem *) { return false; }
bool Q_ZR_UpdataObjectManage::CheckNeedUpdate(DeviceRecord *) { return false; }
int Q_ZR_UpdataObjectManage::ProbeDeviceStatus(DeviceRecord *) { return -1; }
Q_ZR_UpdataObjectManage::BuffFolder Q_ZR_UpdataObjectManage::BuildBuffFolder(DeviceRecord *) { return {}; }
void Q_ZR_UpdataObjectManage::StartUpdate(QVector<DownTask *> tasks) { qDeleteAll(tasks); }
void Q_ZR_UpdataObjectManage::RunNextPending() {}
bool Q_ZR_UpdataObjectManage::RunUpdataFile(DownTask *, bool) { return false; }
void Q_ZR_UpdataObjectManage::OnUpdateEnded() {}
void Q_ZR_UpdataObjectManage::OnUpdaterDone() {}
QString Q_ZR_UpdataObjectManage::DigitsOnly(const QString &text)
{
    QString digits;
    for (const QChar c : text)
        if (c.unicode() >= '0' && c.unicode() <= '9')
            digits.append(c);
    return digits;
}
ProductRecord Q_ZR_UpdataObjectManage::FindProductRecord(const QString &) { return {}; }
QVector<ProductRecord> Q_ZR_UpdataObjectManage::ProductsForIds(uint16_t, uint16_t, bool) { return {}; }
bool Q_ZR_UpdataObjectManage::IsBusy() { return false; }
void Q_ZR_UpdataObjectManage::SetPairWaitMs(int ms) { s_pairWaitMs = ms; }
