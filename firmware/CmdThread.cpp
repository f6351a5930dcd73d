#include "firmware/CmdThread.h"

#include "firmware/CmdDispatch.h"
#include "platform/HidPlatform.h"

#include <QDebug>
#include <QThread>
#include <atomic>
#include <cstring>
#include <hidapi.h>

namespace {
std::atomic<qint64> &WaitTotal()
{
    static std::atomic<qint64> total{0};
    return total;
}
} // namespace

void FirmwareSleepMs(int ms)
{
    if (ms <= 0)
        return;
    const int scaled = platform::HidScaledMs(ms);
    WaitTotal() += scaled;
    QThread::msleep(static_cast<unsigned long>(scaled));
}

qint64 FirmwareWaitTotalMs()
{
    return WaitTotal().load();
}

CmdThread::CmdThread(hid_device *dev, QObject *parent) : QObject(parent), m_device(dev) {}

void CmdThread::set_cmd(Cmd cmd)
{
    FirmwareSleepMs(static_cast<int>(cmd.pre_delay_ms));

    const bool isRead = cmd.kind == GetFeature || cmd.kind == ReadInput;
    std::string reply;
    unsigned char buffer[64];
    auto preset = [&] {
        std::memset(buffer, 0, sizeof buffer);
        std::memcpy(buffer, cmd.out_bytes.data(), std::min<size_t>(cmd.out_bytes.size(), sizeof buffer));
    };
    if (m_device) {
        int n = -1;
        switch (cmd.kind) {
        case GetFeature:
            preset();
            n = hid_get_feature_report(m_device, buffer, sizeof buffer);
            break;
        case SendFeature:
            preset();
            n = hid_send_feature_report(m_device, buffer, sizeof buffer);
            break;
        case WriteOutput:
            n = hid_write(m_device, reinterpret_cast<const unsigned char *>(cmd.out_bytes.data()),
                          cmd.out_bytes.size());
            break;
        case ReadInput:
            preset();
            n = hid_read_timeout(m_device, buffer, sizeof buffer, platform::HidScaledMs(100));
            break;
        default:
            n = 0;
            break;
        }
        if (n < 0)
            qDebug() << "firmware transfer failed:" << cmd.name << cmd.kind; // logged, not reported
        else if (isRead && n > 0)
            reply.assign(reinterpret_cast<const char *>(buffer), static_cast<size_t>(n));
    }

    if (isRead) {
        if (auto *dispatch = qobject_cast<CmdDispatch *>(parent())) {
            Cmd answered = cmd;
            answered.in_bytes = reply;
            dispatch->Command_In(answered);
        }
    }
    FirmwareSleepMs(static_cast<int>(cmd.post_delay_ms));
}
