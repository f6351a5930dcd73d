#include "firmware/CmdControlPixArtVersion.h"

#include "device/DeviceRecord.h"
#include "firmware/CmdThread.h"

#include <QByteArray>
#include <QDebug>
#include <hidapi.h>
#include <mutex>

void CmdControlPixArtVersion::AttachRecord(DeviceRecord *record)
{
    m_record = record;
    attach_device(record ? record->handle : nullptr);
}

QString CmdControlPixArtVersion::ReadWiredVersion()
{
    if (!m_device)
        return QString();
    const int length = m_record ? m_record->featureLength : 64;
    if (length < MinReplyBytes)
        return QString(); // the version bytes could not be in the report
    std::unique_lock<std::recursive_mutex> lock;
    if (m_record)
        lock = std::unique_lock<std::recursive_mutex>(m_record->io);
    QByteArray buffer(length, '\0');
    const QByteArray query = QByteArray::fromHex("03CD653A0700920102 9200");
    buffer.replace(0, query.size(), query);
    if (hid_send_feature_report(m_device, reinterpret_cast<unsigned char *>(buffer.data()), size_t(length)) < 0)
        qDebug() << "version query not sent";
    buffer.fill('\0');
    FirmwareSleepMs(100);
    buffer.replace(0, 4, QByteArray::fromHex("03650325"));
    const int n = hid_get_feature_report(m_device, reinterpret_cast<unsigned char *>(buffer.data()), size_t(length));
    if (n < MinReplyBytes)
        return QString(); // a failed or short reply holds no version
    const uint8_t low = uint8_t(buffer[25]), high = uint8_t(buffer[26]);
    if (!low && !high)
        return QString();
    return QString::asprintf("%02x%02x", high, low);
}
