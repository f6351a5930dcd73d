#include "device/DeviceRecord.h"
#include "device/QKeyBoradMApMange.h"
#include "platform/HidDescriptor.h"
#include "platform/HidIdentity.h"
#include "platform/HidPlatform.h"

#include <QDeadlineTimer>

#include <hidapi.h>

#include <cstring>
#include <vector>

QString DeviceRecord::CodeText() const
{
    std::lock_guard<std::mutex> lock(m_textLock);
    return m_codeText;
}

void DeviceRecord::SetCodeText(const QString &code)
{
    std::lock_guard<std::mutex> lock(m_textLock);
    m_codeText = code;
}

QString DeviceRecord::Name() const
{
    std::lock_guard<std::mutex> lock(m_textLock);
    return name;
}

void DeviceRecord::SetName(const QString &text)
{
    std::lock_guard<std::mutex> lock(m_textLock);
    name = text;
}

QString DeviceRecord::LastError() const
{
    std::lock_guard<std::mutex> lock(m_textLock);
    return m_lastError;
}

void DeviceRecord::SetLastError(const QString &text)
{
    std::lock_guard<std::mutex> lock(m_textLock);
    m_lastError = text;
}

DeviceRecord *OpenDeviceRecord(const QString &path, const platform::HidTlc &tlc)
{
    const QByteArray native = path.toLocal8Bit();
    hid_device *handle = hid_open_path(native.constData());
    if (!handle)
        return nullptr;
    auto *record = new DeviceRecord;
    record->handle = handle;
    record->inputLength = static_cast<uint32_t>(tlc.inputLength);
    record->outputLength = static_cast<uint16_t>(tlc.outputLength);
    record->featureLength = static_cast<uint16_t>(tlc.featureLength);
    record->usesReportIds = tlc.usesReportIds;
    record->inputIds = tlc.inputIds;
    if (hid_device_info *info = hid_get_device_info(handle))
        record->version = info->release_number;
    return record;
}

void CloseDeviceRecord(DeviceRecord *record)
{
    if (!record)
        return;
    {
        std::lock_guard<std::recursive_mutex> lock(record->io);
        if (record->handle)
            hid_close(record->handle);
        record->handle = nullptr;
    }
    delete record->keyboardStore;
    record->keyboardStore = nullptr;
    delete record;
}

uint32_t DeviceIdFromPath(const QString &path)
{
    return platform::WindowsDeviceIdFromPath(path);
}

uint32_t InterfaceDeviceId(const QString &path)
{
    if (path.contains(QLatin1Char('#')))
        return platform::WindowsDeviceIdFromPath(path);
    return platform::ParseHidSysfsName(platform::HidSysfsName(path)).deviceId;
}

uint16_t DeviceVersionNumber(DeviceRecord *record)
{
    if (!record)
        return 0;
    if (record->version == 0) {
        std::lock_guard<std::recursive_mutex> lock(record->io);
        if (record->handle)
            if (hid_device_info *info = hid_get_device_info(record->handle))
                record->version = info->release_number;
    }
    return record->version;
}

QString ReadProductString(DeviceRecord *record)
{
    if (!record)
        return QString();
    std::lock_guard<std::recursive_mutex> lock(record->io);
    if (!record->handle)
        return QString();
    wchar_t text[513] = {};
    if (hid_get_product_string(record->handle, text, 512) < 0)
        return QString();
    text[512] = 0;
    return QString::fromWCharArray(text);
}

void SetDevicePath(DeviceRecord *record, const QString &path)
{
    if (record)
        record->path = path;
}

void SetDeviceProductString(DeviceRecord *record, const QString &text)
{
    if (record)
        record->productString = text;
}

static void KeepError(DeviceRecord *record, const char *what)
{
    const wchar_t *err = record->handle ? hid_error(record->handle) : nullptr;
    record->SetLastError(QString::fromLatin1(what) + QStringLiteral(": ")
                         + (err ? QString::fromWCharArray(err) : QString()));
}

int RecordWrite(DeviceRecord *record, const unsigned char *data, int length)
{
    if (!record || !data || length < 1)
        return -1;
    std::lock_guard<std::recursive_mutex> lock(record->io);
    if (!record->handle)
        return -1;
    const int n = hid_write(record->handle, data, static_cast<size_t>(length));
    if (n < 0)
        KeepError(record, "hid_write");
    return n;
}

int RecordSendFeature(DeviceRecord *record, const unsigned char *data, int length)
{
    if (!record || !data || length < 1)
        return -1;
    std::lock_guard<std::recursive_mutex> lock(record->io);
    if (!record->handle)
        return -1;
    const int n = hid_send_feature_report(record->handle, data, static_cast<size_t>(length));
    if (n < 0)
        KeepError(record, "hid_send_feature_report");
    return n;
}

int RecordGetFeature(DeviceRecord *record, unsigned char *data, int length)
{
    if (!record || !data || length < 1)
        return -1;
    std::lock_guard<std::recursive_mutex> lock(record->io);
    if (!record->handle)
        return -1;
    const int n = hid_get_feature_report(record->handle, data, static_cast<size_t>(length));
    if (n < 0)
        KeepError(record, "hid_get_feature_report");
    return n;
}

int hid_read_timeout_status(DeviceRecord *record, unsigned char *buffer, int length, int timeoutMs, int *status)
{
    if (status)
        *status = 0;
    if (!record || !buffer || length < 1)
        return -1;
    std::lock_guard<std::recursive_mutex> lock(record->io);
    if (!record->handle)
        return -1;
    const int area = std::max<int>({length, static_cast<int>(record->inputLength), 64});
    // Listeners call this about a hundred times a second: the usual report fits on the stack.
    unsigned char local[256];
    std::vector<unsigned char> large(area > int(sizeof local) ? static_cast<size_t>(area) : 0);
    unsigned char *report = large.empty() ? local : large.data();
    QDeadlineTimer deadline(timeoutMs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(timeoutMs));
    for (;;) {
        const int wait = timeoutMs < 0 ? -1 : static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
        std::memset(report, 0, static_cast<size_t>(area));
        const int n = hid_read_timeout(record->handle, report, static_cast<size_t>(area), wait);
        if (n < 0) {
            record->SetLastError(QStringLiteral("GetOverlappedResult"));
            return -1;
        }
        if (n == 0)
            return 0;
        // A hidraw node hears every TLC of the interface: keep only this TLC's input reports.
        if (record->usesReportIds && !record->inputIds.isEmpty() && !record->inputIds.contains(report[0])) {
            if (timeoutMs >= 0 && deadline.hasExpired())
                return 0;
            continue;
        }
        const int copied = std::min(n, length);
        std::memcpy(buffer, report, static_cast<size_t>(copied));
        if (status && copied >= 7 && buffer[1] == 0x0A && buffer[5] == 2)
            *status = buffer[6] > 0 ? 1 : -1;
        return copied;
    }
}
