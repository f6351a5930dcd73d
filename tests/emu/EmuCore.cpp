// The emulator's core: the node registry, handles with their input queues, the traffic log,
// hidapi's C functions and the platform HID interface, all over virtual devices.
#include "tests/emu/EmuControl.h"
#include "platform/HidPlatform.h"

#include <QDebug>
#include <QElapsedTimer>

#include <hidapi.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

struct hid_device_
{
    std::shared_ptr<emu::Device> device;
    uint32_t node = 0;
    struct Pending
    {
        QByteArray bytes;
        std::chrono::steady_clock::time_point at;
    };
    std::deque<Pending> queue;
    std::wstring error;
    bool nonblocking = false;
    hid_device_info *info = nullptr;
    // Signalled whenever the queue gains a report or the node goes away: a waiting read sleeps
    // in one poll on it, as a read of a hidraw node does.
    int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    ~hid_device_()
    {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }
    void Wake() const
    {
        const uint64_t one = 1;
        if (wakeFd >= 0)
            (void)!::write(wakeFd, &one, sizeof one);
    }
    void Drain() const
    {
        uint64_t count = 0;
        if (wakeFd >= 0)
            (void)!::read(wakeFd, &count, sizeof count);
    }
};

namespace emu {

struct NodeEntry
{
    std::shared_ptr<Device> device;
    QString path;
    QString sysfsName;
    bool plugged = true;
    int opens = 0;
    int closes = 0;
};

struct EmuState
{
    std::recursive_mutex mutex;
    std::map<uint32_t, NodeEntry> nodes;
    std::vector<hid_device_ *> handles;
    QVector<Traffic> traffic;
    QStringList errors;
    uint32_t nextNode = 1;
    std::atomic<int64_t> readCalls{0};
    std::atomic<double> timeScale{1.0};
    platform::HidHotplugSource *hotplug = nullptr;
    QElapsedTimer clock;
    EmuState() { clock.start(); }
};

EmuState &S()
{
    static EmuState *state = new EmuState; // never destroyed: worker threads may outlive main
    return *state;
}

using Lock = std::lock_guard<std::recursive_mutex>;

std::recursive_mutex &EmuMutex()
{
    return S().mutex;
}

struct EmuAccess
{
    static void SetNode(Device &d, uint32_t node) { d.m_node = node; }
    static bool &Unplugged(Device &d) { return d.m_unplugged; }
    static int &Writes(Device &d) { return d.m_writes; }
};

static void Log(Traffic::Op op, uint32_t node, const QByteArray &bytes, int result)
{
    Traffic t;
    t.op = op;
    t.node = node;
    t.bytes = bytes;
    t.result = result;
    t.atMs = S().clock.elapsed();
    S().traffic.append(t);
    if (S().traffic.size() > 200000)
        S().traffic.remove(0, 100000);
}

qint64 ClockMs()
{
    return S().clock.elapsed();
}

uint8_t Sum19(const QByteArray &report)
{
    unsigned sum = 0;
    for (int i = 0; i < 19 && i < report.size(); ++i)
        sum += static_cast<uint8_t>(report.at(i));
    return static_cast<uint8_t>(sum);
}

// ---- Device ----------------------------------------------------------------------------------

Device::Device(uint16_t vid, uint16_t pid, uint16_t release, const QString &product, const QByteArray &descriptor)
    : m_vid(vid), m_pid(pid), m_release(release), m_product(product), m_descriptor(descriptor)
{
}

Device::~Device() = default;

Knobs Device::knobs() const
{
    Lock lock(S().mutex);
    return m_knobs;
}

void Device::setKnobs(const Knobs &knobs)
{
    Lock lock(S().mutex);
    m_knobs = knobs;
    m_writes = 0; // the write-counting knobs count from here
}

void Device::PushInput(const QByteArray &report, int delayMs)
{
    Lock lock(S().mutex);
    if (m_unplugged)
        return;
    const auto at = std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs);
    for (hid_device_ *h : S().handles) {
        if (h->device.get() != this)
            continue;
        // keep the queue ordered by due time
        auto it = h->queue.end();
        while (it != h->queue.begin() && std::prev(it)->at > at)
            --it;
        h->queue.insert(it, hid_device_::Pending{report, at});
        if (h->queue.size() > 4096)
            h->queue.pop_front();
        h->Wake();
    }
    Log(Traffic::Input, m_node, report, report.size());
}

void Device::Fail(const QString &what)
{
    Lock lock(S().mutex);
    const QString text = QStringLiteral("emu node %1 (%2:%3): %4")
                             .arg(m_node, 4, 16, QLatin1Char('0'))
                             .arg(m_vid, 4, 16, QLatin1Char('0'))
                             .arg(m_pid, 4, 16, QLatin1Char('0'))
                             .arg(what);
    S().errors.append(text);
    qCritical().noquote() << text;
}

int Device::OnWrite(const QByteArray &data)
{
    return data.size();
}

int Device::OnSendFeature(const QByteArray &data)
{
    return data.size();
}

int Device::OnGetFeature(QByteArray &data)
{
    return data.size();
}

// ---- control ---------------------------------------------------------------------------------

uint32_t Plug(const std::shared_ptr<Device> &device, bool notify)
{
    platform::HidHotplugSource *source = nullptr;
    uint32_t node = 0;
    {
        Lock lock(S().mutex);
        node = S().nextNode++;
        EmuAccess::SetNode(*device, node);
        EmuAccess::Unplugged(*device) = false;
        NodeEntry entry;
        entry.device = device;
        entry.path = QStringLiteral("/dev/emu/hidraw%1").arg(node);
        entry.sysfsName = QStringLiteral("0003:%1:%2.%3")
                              .arg(device->vendorId(), 4, 16, QLatin1Char('0'))
                              .arg(device->productId(), 4, 16, QLatin1Char('0'))
                              .arg(node, 4, 16, QLatin1Char('0'))
                              .toUpper();
        S().nodes[node] = entry;
        source = S().hotplug;
    }
    if (notify && source)
        source->Deliver(true, node, device->vendorId(), device->productId(), PathOf(node));
    return node;
}

void Unplug(uint32_t node, bool notify)
{
    platform::HidHotplugSource *source = nullptr;
    uint16_t vid = 0, pid = 0;
    QString path;
    {
        Lock lock(S().mutex);
        auto it = S().nodes.find(node);
        if (it == S().nodes.end() || !it->second.plugged)
            return;
        it->second.plugged = false;
        EmuAccess::Unplugged(*it->second.device) = true;
        vid = it->second.device->vendorId();
        pid = it->second.device->productId();
        path = it->second.path;
        for (hid_device_ *h : S().handles)
            if (h->node == node) {
                h->queue.clear();
                h->Wake();
            }
        source = S().hotplug;
    }
    if (notify && source)
        source->Deliver(false, node, vid, pid, path);
}

void Reset()
{
    Lock lock(S().mutex);
    for (auto &n : S().nodes) {
        n.second.plugged = false;
        EmuAccess::Unplugged(*n.second.device) = true;
    }
    // Handles still open stay valid objects (their calls fail); nodes are forgotten.
    S().nodes.clear();
    for (hid_device_ *h : S().handles) {
        h->queue.clear();
        h->Wake();
    }
    S().traffic.clear();
    S().errors.clear();
    S().timeScale = 1.0;
}

std::shared_ptr<Device> DeviceOf(uint32_t node)
{
    Lock lock(S().mutex);
    auto it = S().nodes.find(node);
    return it == S().nodes.end() ? nullptr : it->second.device;
}

QString PathOf(uint32_t node)
{
    Lock lock(S().mutex);
    auto it = S().nodes.find(node);
    return it == S().nodes.end() ? QString() : it->second.path;
}

void SetTimeScale(double scale)
{
    S().timeScale = scale;
}

QVector<Traffic> TrafficLog(uint32_t node, int op)
{
    Lock lock(S().mutex);
    QVector<Traffic> out;
    for (const Traffic &t : S().traffic)
        if ((node == 0 || t.node == node) && (op < 0 || t.op == op))
            out.append(t);
    return out;
}

void ClearTraffic()
{
    Lock lock(S().mutex);
    S().traffic.clear();
}

int OpenCount(uint32_t node)
{
    Lock lock(S().mutex);
    auto it = S().nodes.find(node);
    return it == S().nodes.end() ? 0 : it->second.opens;
}

int CloseCount(uint32_t node)
{
    Lock lock(S().mutex);
    auto it = S().nodes.find(node);
    return it == S().nodes.end() ? 0 : it->second.closes;
}

int OpenHandles(uint32_t node)
{
    Lock lock(S().mutex);
    int n = 0;
    for (hid_device_ *h : S().handles)
        if (h->node == node)
            ++n;
    return n;
}

int64_t ReadCalls()
{
    return S().readCalls.load();
}

int TotalOpenCount()
{
    Lock lock(S().mutex);
    int n = 0;
    for (auto &e : S().nodes)
        n += e.second.opens;
    return n;
}

QStringList Errors()
{
    Lock lock(S().mutex);
    return S().errors;
}

void ClearErrors()
{
    Lock lock(S().mutex);
    S().errors.clear();
}

static NodeEntry *FindByPath(const char *path)
{
    if (!path)
        return nullptr;
    const QString p = QString::fromLocal8Bit(path);
    for (auto &e : S().nodes)
        if (e.second.path == p)
            return &e.second;
    return nullptr;
}

static wchar_t *NewWide(const QString &text)
{
    const std::wstring w = text.toStdWString();
    auto *out = static_cast<wchar_t *>(calloc(w.size() + 1, sizeof(wchar_t)));
    if (out)
        std::wmemcpy(out, w.c_str(), w.size());
    return out;
}

// Usage page and usage of each top-level collection of a descriptor (for enumeration entries).
static std::vector<std::pair<uint16_t, uint16_t>> TopLevelUsages(const QByteArray &descriptor);

static hid_device_info *NewInfo(const NodeEntry &e, uint16_t page, uint16_t usage)
{
    auto *info = static_cast<hid_device_info *>(calloc(1, sizeof(hid_device_info)));
    const QByteArray path = e.path.toLocal8Bit();
    info->path = strdup(path.constData());
    info->vendor_id = e.device->vendorId();
    info->product_id = e.device->productId();
    info->serial_number = NewWide(QString());
    info->release_number = e.device->release();
    info->manufacturer_string = NewWide(QStringLiteral("QUORIX"));
    info->product_string = NewWide(e.device->product());
    info->usage_page = page;
    info->usage = usage;
    info->interface_number = 0;
    info->bus_type = HID_API_BUS_USB;
    return info;
}

static void FreeInfo(hid_device_info *info)
{
    while (info) {
        hid_device_info *next = info->next;
        free(info->path);
        free(info->serial_number);
        free(info->manufacturer_string);
        free(info->product_string);
        free(info);
        info = next;
    }
}

static std::vector<std::pair<uint16_t, uint16_t>> TopLevelUsages(const QByteArray &d)
{
    std::vector<std::pair<uint16_t, uint16_t>> out;
    uint16_t page = 0;
    uint32_t usage = 0;
    int depth = 0;
    for (int i = 0; i < d.size();) {
        const uint8_t prefix = static_cast<uint8_t>(d.at(i++));
        int size = prefix & 3;
        if (size == 3)
            size = 4;
        uint32_t v = 0;
        for (int k = 0; k < size && i + k < d.size(); ++k)
            v |= static_cast<uint32_t>(static_cast<uint8_t>(d.at(i + k))) << (8 * k);
        i += size;
        const int type = (prefix >> 2) & 3, tag = prefix >> 4;
        if (type == 1 && tag == 0)
            page = static_cast<uint16_t>(v);
        else if (type == 2 && tag == 0)
            usage = v;
        else if (type == 0 && tag == 0xA) {
            if (depth == 0)
                out.emplace_back(size == 4 ? static_cast<uint16_t>(usage >> 16) : page, static_cast<uint16_t>(usage));
            ++depth;
        } else if (type == 0 && tag == 0xC && depth > 0)
            --depth;
    }
    if (out.empty())
        out.emplace_back(0, 0);
    return out;
}

static bool Alive(hid_device *dev)
{
    return dev && dev->device && S().nodes.count(dev->node) && S().nodes[dev->node].plugged;
}

static void SetError(hid_device *dev, const wchar_t *text)
{
    if (dev)
        dev->error = text;
}

// Counts a successful write and applies the unplug knob.
static void AfterWrite(hid_device *dev)
{
    Device &d = *dev->device;
    const int writes = ++EmuAccess::Writes(d);
    const Knobs k = d.knobs();
    if (k.unplugAfterWrites >= 0 && writes >= k.unplugAfterWrites)
        Unplug(dev->node, true);
}

static bool WriteFails(hid_device *dev)
{
    const Knobs k = dev->device->knobs();
    if (k.failWrites)
        return true;
    return k.failWritesAfter >= 0 && EmuAccess::Writes(*dev->device) >= k.failWritesAfter;
}

} // namespace emu

namespace platform {

QByteArray HidReportDescriptor(const QString &path)
{
    using namespace emu;
    Lock lock(S().mutex);
    NodeEntry *e = FindByPath(path.toLocal8Bit().constData());
    return e && e->plugged ? e->device->descriptor() : QByteArray();
}

QString HidSysfsName(const QString &path)
{
    using namespace emu;
    Lock lock(S().mutex);
    NodeEntry *e = FindByPath(path.toLocal8Bit().constData());
    return e ? e->sysfsName : QString(); // known after removal too, as udev's DEVPATH is
}

bool StartHidHotplugMonitor(HidHotplugSource *source)
{
    using namespace emu;
    Lock lock(S().mutex);
    S().hotplug = source;
    QObject::connect(source, &QObject::destroyed, [] {
        Lock lock(S().mutex);
        S().hotplug = nullptr;
    });
    return true;
}

double HidTimeScale()
{
    return emu::S().timeScale.load();
}

} // namespace platform

// ---- hidapi ----------------------------------------------------------------------------------

using namespace emu;

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void)
{
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_exit(void)
{
    return 0;
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    Lock lock(S().mutex);
    hid_device_info *head = nullptr, *tail = nullptr;
    for (auto &n : S().nodes) {
        const NodeEntry &e = n.second;
        if (!e.plugged)
            continue;
        if (vendor_id && e.device->vendorId() != vendor_id)
            continue;
        if (product_id && e.device->productId() != product_id)
            continue;
        for (const auto &u : TopLevelUsages(e.device->descriptor())) {
            hid_device_info *info = NewInfo(e, u.first, u.second);
            if (tail)
                tail->next = info;
            else
                head = info;
            tail = info;
        }
    }
    return head;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info *devs)
{
    FreeInfo(devs);
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open_path(const char *path)
{
    Lock lock(S().mutex);
    NodeEntry *e = FindByPath(path);
    if (!e || !e->plugged || e->device->knobs().failOpen)
        return nullptr;
    auto *dev = new hid_device_;
    dev->device = e->device;
    dev->node = e->device->node();
    S().handles.push_back(dev);
    ++e->opens;
    Log(Traffic::Open, dev->node, QByteArray(), 0);
    return dev;
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open(unsigned short vendor_id, unsigned short product_id,
                                                 const wchar_t *)
{
    QByteArray path;
    {
        Lock lock(S().mutex);
        for (auto &n : S().nodes)
            if (n.second.plugged && n.second.device->vendorId() == vendor_id
                && n.second.device->productId() == product_id) {
                path = n.second.path.toLocal8Bit();
                break;
            }
    }
    return path.isEmpty() ? nullptr : hid_open_path(path.constData());
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device *dev)
{
    if (!dev)
        return;
    Lock lock(S().mutex);
    auto &hs = S().handles;
    hs.erase(std::remove(hs.begin(), hs.end(), dev), hs.end());
    auto it = S().nodes.find(dev->node);
    if (it != S().nodes.end() && it->second.device == dev->device)
        ++it->second.closes;
    Log(Traffic::Close, dev->node, QByteArray(), 0);
    if (dev->info)
        FreeInfo(dev->info);
    delete dev;
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    if (!dev || !data)
        return -1;
    std::unique_lock<std::recursive_mutex> lock(S().mutex);
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<int>(length));
    if (!Alive(dev) || WriteFails(dev)) {
        SetError(dev, L"write failed");
        Log(Traffic::Write, dev->node, bytes, -1);
        return -1;
    }
    const int delay = dev->device->knobs().writeDelayMs;
    if (delay > 0) { // the transfer time of the report, as a USB interrupt endpoint would take
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        lock.lock();
        if (!Alive(dev))
            return -1;
    }
    Log(Traffic::Write, dev->node, bytes, static_cast<int>(length));
    const int result = dev->device->OnWrite(bytes);
    AfterWrite(dev);
    return result;
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device *dev, unsigned char *data, size_t length, int milliseconds)
{
    if (!dev || !data)
        return -1;
    S().readCalls.fetch_add(1, std::memory_order_relaxed);
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds);
    for (;;) {
        Clock::time_point wakeAt;
        bool noLimit = false;
        {
            Lock lock(S().mutex);
            if (!Alive(dev)) {
                SetError(dev, L"device disconnected");
                return -1;
            }
            const auto now = Clock::now();
            if (!dev->queue.empty() && dev->queue.front().at <= now) {
                const QByteArray report = dev->queue.front().bytes;
                dev->queue.pop_front();
                const int n = std::min<int>(static_cast<int>(length), report.size());
                std::memcpy(data, report.constData(), static_cast<size_t>(n));
                Log(Traffic::Read, dev->node, report.left(n), n);
                return n;
            }
            if (milliseconds == 0 || (milliseconds > 0 && now >= deadline))
                return 0;
            noLimit = milliseconds < 0;
            wakeAt = deadline;
            if (!dev->queue.empty() && (noLimit || dev->queue.front().at < wakeAt)) {
                wakeAt = dev->queue.front().at; // a report that is due later
                noLimit = false;
            }
        }
        // Outside the lock: one poll until a report arrives, the node goes, or the time is up.
        timespec wait{};
        if (!noLimit) {
            const auto ns = std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(wakeAt - Clock::now()).count());
            wait.tv_sec = static_cast<time_t>(ns / 1000000000);
            wait.tv_nsec = static_cast<long>(ns % 1000000000);
        }
        pollfd fd{dev->wakeFd, POLLIN, 0};
        if (::ppoll(&fd, 1, noLimit ? nullptr : &wait, nullptr) > 0)
            dev->Drain();
    }
}

int HID_API_EXPORT HID_API_CALL hid_read(hid_device *dev, unsigned char *data, size_t length)
{
    return hid_read_timeout(dev, data, length, dev && dev->nonblocking ? 0 : -1);
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device *dev, int nonblock)
{
    if (!dev)
        return -1;
    Lock lock(S().mutex);
    dev->nonblocking = nonblock != 0;
    return 0;
}

int HID_API_EXPORT HID_API_CALL hid_send_feature_report(hid_device *dev, const unsigned char *data, size_t length)
{
    if (!dev || !data)
        return -1;
    std::unique_lock<std::recursive_mutex> lock(S().mutex);
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<int>(length));
    if (!Alive(dev) || dev->device->knobs().failFeatures) {
        SetError(dev, L"feature report failed");
        Log(Traffic::SendFeature, dev->node, bytes, -1);
        return -1;
    }
    const int delay = dev->device->knobs().writeDelayMs;
    if (delay > 0) { // a slow control transfer
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(delay));
        lock.lock();
        if (!Alive(dev)) {
            SetError(dev, L"device disconnected");
            Log(Traffic::SendFeature, dev->node, bytes, -1);
            return -1;
        }
    }
    const int result = dev->device->OnSendFeature(bytes);
    Log(Traffic::SendFeature, dev->node, bytes, result);
    if (result >= 0)
        AfterWrite(dev); // the unplug knob counts feature reports too
    return result;
}

int HID_API_EXPORT HID_API_CALL hid_get_feature_report(hid_device *dev, unsigned char *data, size_t length)
{
    if (!dev || !data || length < 1)
        return -1;
    Lock lock(S().mutex);
    if (!Alive(dev) || dev->device->knobs().failFeatures) {
        SetError(dev, L"feature report failed");
        Log(Traffic::GetFeature, dev->node, QByteArray(reinterpret_cast<const char *>(data), 1), -1);
        return -1;
    }
    QByteArray bytes(static_cast<int>(length), '\0');
    bytes[0] = static_cast<char>(data[0]);
    const int result = dev->device->OnGetFeature(bytes);
    const int n = std::min<int>(std::max(result, 0), std::min<int>(static_cast<int>(length), bytes.size()));
    if (result >= 0)
        std::memcpy(data, bytes.constData(), static_cast<size_t>(n));
    Log(Traffic::GetFeature, dev->node, bytes.left(n), result < 0 ? -1 : n);
    return result < 0 ? -1 : n;
}

int HID_API_EXPORT HID_API_CALL hid_get_input_report(hid_device *dev, unsigned char *data, size_t length)
{
    if (!dev || !data || length < 1)
        return -1;
    Lock lock(S().mutex);
    if (!Alive(dev))
        return -1;
    std::memset(data + 1, 0, length - 1);
    return static_cast<int>(length);
}

static int CopyString(hid_device *dev, const QString &text, wchar_t *string, size_t maxlen)
{
    if (!dev || !string || maxlen == 0)
        return -1;
    if (!Alive(dev))
        return -1;
    const std::wstring w = text.toStdWString();
    const size_t n = std::min(w.size(), maxlen - 1);
    std::wmemcpy(string, w.c_str(), n);
    string[n] = 0;
    return 0;
}

int HID_API_EXPORT_CALL hid_get_manufacturer_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    Lock lock(S().mutex);
    return CopyString(dev, QStringLiteral("QUORIX"), string, maxlen);
}

int HID_API_EXPORT_CALL hid_get_product_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    Lock lock(S().mutex);
    return CopyString(dev, dev && dev->device ? dev->device->product() : QString(), string, maxlen);
}

int HID_API_EXPORT_CALL hid_get_serial_number_string(hid_device *dev, wchar_t *string, size_t maxlen)
{
    Lock lock(S().mutex);
    return CopyString(dev, QString(), string, maxlen);
}

int HID_API_EXPORT_CALL hid_get_indexed_string(hid_device *dev, int, wchar_t *string, size_t maxlen)
{
    Lock lock(S().mutex);
    return CopyString(dev, QString(), string, maxlen);
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_get_device_info(hid_device *dev)
{
    if (!dev)
        return nullptr;
    Lock lock(S().mutex);
    auto it = S().nodes.find(dev->node);
    if (it == S().nodes.end())
        return nullptr;
    if (!dev->info) {
        const auto usages = TopLevelUsages(it->second.device->descriptor());
        dev->info = NewInfo(it->second, usages.front().first, usages.front().second);
    }
    return dev->info;
}

HID_API_EXPORT const wchar_t *HID_API_CALL hid_error(hid_device *dev)
{
    if (!dev)
        return L"Success";
    Lock lock(S().mutex);
    return dev->error.empty() ? L"Success" : dev->error.c_str();
}

HID_API_EXPORT const struct hid_api_version *HID_API_CALL hid_version(void)
{
    static const hid_api_version version = {HID_API_VERSION_MAJOR, HID_API_VERSION_MINOR, HID_API_VERSION_PATCH};
    return &version;
}

HID_API_EXPORT const char *HID_API_CALL hid_version_str(void)
{
    return "emu-" HID_API_VERSION_STR;
}

} // extern "C"
