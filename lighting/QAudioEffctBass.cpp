#include "lighting/QAudioEffctBass.h"

#include "app/IniOpeners.h"
#include "device/ByteTools.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/QHid_Threads_Manage.h"
#include "device/QHid_Work_Interface.h"
#include "keyboard/QMultifunKeyBoard.h"
#include "lighting/QEffctBase.h"

#include <QFileInfo>
#include <QMetaMethod>
#include <QSettings>
#include <QThread>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

namespace {
QAudioEffctBass::AmdCheck s_amdCheck = nullptr;

// "SysBuild.ini", or null when it cannot be opened (then the built-in sleeps stay).
QSettings *OpenedSysBuild()
{
    std::unique_ptr<QSettings> ini(OpenSysBuildIni());
    if (!ini || !QFileInfo::exists(ini->fileName()) || ini->status() != QSettings::NoError)
        return nullptr;
    return ini.release();
}

uchar SleepByte(QSettings &ini, const QString &key)
{
    return static_cast<uchar>(ini.value(key, 0).toUInt() & 0xFF);
}

constexpr int kReportSize = 20;
constexpr int kKeys = 129;
constexpr int kPacketData = 14;
} // namespace

void QAudioEffctBass::SetAmdCheck(AmdCheck check)
{
    s_amdCheck = check;
}

QAudioEffctBass::QAudioEffctBass(QObject *parent) : QObject(parent)
{
    if (QSettings *ini = OpenedSysBuild()) {
        m_amdFrameSleep = SleepByte(*ini, QStringLiteral("AudionConfig/AudonAmdSellp"));
        m_otherFrameSleep = SleepByte(*ini, QStringLiteral("AudionConfig/AudoninterSellp"));
        m_wirelessFrameSleep = SleepByte(*ini, QStringLiteral("AudionConfig/WirelessSellp"));
        delete ini;
    }
    m_frame = new uchar[kFrameSize]();
    if (QMultifunKeyBoard *keyboard = QMultifunKeyBoard::instance()) {
        // The preview gets its own copy of each frame: the draw thread goes on refilling m_frame.
        m_toSoftware = connect(this, &QAudioEffctBass::ToSoftware, keyboard, [keyboard](QByteArray frame) {
            keyboard->on_DispLagEffect_Audion(reinterpret_cast<uchar *>(frame.data()));
        });
        m_clearDisp = connect(this, &QAudioEffctBass::SoftwareClearDisp, keyboard, &QMultifunKeyBoard::on_ClearDispAudion);
    }
    m_amd = s_amdCheck && s_amdCheck();
}

QAudioEffctBass::~QAudioEffctBass()
{
    delete[] m_frame;
}

void QAudioEffctBass::SetColours(QColor colour, uchar multiColour, double gain, double smoothing)
{
    m_r = static_cast<uchar>(colour.red());
    m_g = static_cast<uchar>(colour.green());
    m_b = static_cast<uchar>(colour.blue());
    m_multiColour = multiColour;
    m_gain = gain;
    m_smoothing = smoothing;
}

void QAudioEffctBass::LoadLayout() {}
void QAudioEffctBass::Stop() {}
ushort QAudioEffctBass::EffectType() { return kBaseType; }
int QAudioEffctBass::FrameDelay() { return 50; }
void QAudioEffctBass::Render(double *, int, DeviceRecord *) {}

void QAudioEffctBass::SetBaseColour(const QColor &colour)
{
    m_r = static_cast<uchar>(colour.red());
    m_g = static_cast<uchar>(colour.green());
    m_b = static_cast<uchar>(colour.blue());
}

void QAudioEffctBass::ReadOwnSleeps(const QString &group)
{
    // Without the file the built-in sleeps stay: sleeps of 0 would flood the keyboard.
    std::unique_ptr<QSettings> ini(OpenedSysBuild());
    if (!ini)
        return;
    m_amdFrameSleep = SleepByte(*ini, group + QStringLiteral("/AudonAmdSellp"));
    m_otherFrameSleep = SleepByte(*ini, group + QStringLiteral("/AudoninterSellp"));
    m_wirelessFrameSleep = SleepByte(*ini, group + QStringLiteral("/WirelessSellp"));
}

void QAudioEffctBass::DisconnectPreview()
{
    disconnect(m_toSoftware);
    disconnect(m_clearDisp);
    SleepMs(200);
}

LightRows QAudioEffctBass::ReadListRows(const QString &group)
{
    std::unique_ptr<QSettings> ini(QEffctBase::OpenRowsFile());
    return ini ? LightRowsFile::ReadRows(*ini, group) : LightRows();
}

LightBands QAudioEffctBass::ReadStepRows(const QString &group)
{
    std::unique_ptr<QSettings> ini(QEffctBase::OpenRowsFile());
    return ini ? LightRowsFile::ReadSteps(*ini, group) : LightBands();
}

QColor QAudioEffctBass::KeyColour(uchar paletteIndex) const
{
    return m_multiColour ? ColourAt(paletteIndex) : QColor(m_r, m_g, m_b);
}

void QAudioEffctBass::SleepMs(int ms)
{
    if (ms > 0)
        QThread::msleep(static_cast<unsigned long>(ms));
}

bool QAudioEffctBass::Wireless() const
{
    if (!m_device)
        return false;
    const uint8_t state = m_device->connectionState.load();
    return state == StateWirelessAwake || state == StateWirelessAsleep;
}

void QAudioEffctBass::IdleBlock()
{
    emit SoftwareClearDisp();
    SleepMs(10);
}

// ---- spectrum arithmetic ----

double QAudioEffctBass::Level(const double *values, int n)
{
    if (!values || n <= 0)
        return 0.0;
    double max = 0.0, sum = 0.0;
    for (int i = 0; i < n; ++i) {
        max = std::max(max, values[i]);
        sum += values[i];
    }
    if (max == 0.0)
        return 0.0;
    // A non-finite level would reach the effects' integer steps.
    const double level = max - sum / n;
    return std::isfinite(level) ? level : 0.0;
}

QVector<double> QAudioEffctBass::ApplyGain(const QVector<double> &values, double x)
{
    QVector<double> out(values);
    for (double &v : out)
        v *= x + 1.0;
    return out;
}

QVector<double> QAudioEffctBass::Blend(const QVector<double> &values, double a)
{
    QVector<double> out(values);
    for (double &v : out)
        v *= 1.0 - a;
    return out;
}

QVector<double> QAudioEffctBass::BandLevels(const double *data, uint n, uchar bands, double scale)
{
    QVector<double> out;
    if (!data || n == 0 || bands == 0)
        return out;
    double sum = 0.0;
    for (uint i = 0; i < n; ++i)
        sum += data[i];
    if (!(sum > 0.0))
        return out;
    const uint per = n / bands;
    double total = 0.0;
    out.reserve(bands);
    for (uint k = 0; k < bands; ++k) {
        double max = 0.0;
        for (uint j = k * per; j < k * per + per; ++j)
            max = std::max(max, data[j]);
        out.append(max * scale);
        total += max * scale;
    }
    if (!(total > 0.0))
        out.clear();
    return out;
}

QVector<QColor> QAudioEffctBass::DefaultPalette()
{
    static const int rgb[18][3] = {
        {255, 0, 10}, {255, 37, 0}, {255, 0, 10}, {255, 103, 0}, {255, 224, 15}, {255, 225, 0},
        {197, 255, 0}, {124, 255, 0}, {55, 255, 0}, {0, 255, 2}, {0, 255, 62}, {0, 255, 140},
        {0, 255, 221}, {0, 212, 255}, {0, 151, 255}, {0, 71, 255}, {7, 0, 255}, {141, 0, 255}};
    QVector<QColor> out;
    for (const auto &c : rgb)
        out.append(QColor(c[0], c[1], c[2], 255));
    return out;
}

QColor QAudioEffctBass::ColourAt(uchar index) const
{
    return index < m_palette.size() ? m_palette.at(index) : QColor();
}

void QAudioEffctBass::RotatePalette()
{
    if (m_paused || m_palette.isEmpty())
        return;
    m_palette.append(m_palette.takeFirst());
}

int RoundHalfAway(double v)
{
    if (!(std::fabs(v) < 1e9))
        return 0;
    const int t = static_cast<int>(v);
    if (v > 0)
        return v - t >= 0.5 ? t + 1 : t;
    const double minus = -v;
    return minus - std::trunc(minus) >= 0.5 ? t + 1 : t;
}

// ---- frames ----

void QAudioEffctBass::SetKey(int offset, uchar r, uchar g, uchar b)
{
    // Offsets come from the product's rows file: the header and anything past the frame are
    // never written.
    if (offset < 8 || offset > kFrameSize - 3)
        return;
    m_frame[offset] = r;
    m_frame[offset + 1] = g;
    m_frame[offset + 2] = b;
}

void QAudioEffctBass::SendFrame()
{
    if (m_frame && m_device && !m_paused) {
        static const QMetaMethod preview = QMetaMethod::fromSignal(&QAudioEffctBass::ToSoftware);
        if (m_preview && isSignalConnected(preview))
            emit ToSoftware(QByteArray(reinterpret_cast<const char *>(m_frame), kFrameSize));
        if (!m_paused)
            WriteFrame(m_frame, m_device);
    }
    if (!m_device)
        SleepMs(30);
    else if (!Wireless())
        SleepMs(m_amd ? m_amdFrameSleep : m_otherFrameSleep);
    if (m_frame)
        std::memset(m_frame, 0, kFrameSize);
}

void QAudioEffctBass::WriteFrame(uchar *frame, DeviceRecord *device)
{
    if (!frame || !device)
        return;
    const uint8_t state = device->connectionState.load();
    if (state != StateWirelessAwake && state != StateWirelessAsleep) {
        static const uchar header[8] = {0, 0x08, 0x00, 0x00, 0x01, 0x00, 0x7A, 0x01};
        std::memcpy(frame, header, 8);
        frame[0] = device->reportId;
        const int length = device->featureLength;
        if (length == kFrameSize) {
            RecordSendFeature(device, frame, length);
        } else {
            // Another report length: never read past the frame, pad with zeros.
            QByteArray report(std::max(length, kFrameSize), '\0');
            std::memcpy(report.data(), frame, kFrameSize);
            RecordSendFeature(device, reinterpret_cast<const uchar *>(report.constData()), length);
        }
        return;
    }
    if (frame[kFrameSize - 1] == 255)
        SendSingleColour(frame);
    else
        SendKeyPackets(frame);
    if (HID_API *api = HID_API::instance()) {
        if (QHid_Threads_Manage *manager = api->Manager()) {
            if (QHid_Work_Interface *worker = manager->Worker(device->deviceId))
                worker->ReadStatusOnce(5);
        }
    }
    SleepMs(m_wirelessFrameSleep + (m_amd && device->subType == 2 ? 20 : 0));
}

void QAudioEffctBass::SendSingleColour(uchar *frame)
{
    if (m_paused || !m_device || !frame)
        return;
    const int length = m_device->outputLength;
    m_report.fill('\0', std::max<int>(length, kReportSize));
    uchar *r = reinterpret_cast<uchar *>(m_report.data());
    r[0] = m_device->reportId;
    r[1] = 0x88;
    r[2] = 0x01;
    r[4] = 0x23;
    r[5] = frame[8];
    r[6] = frame[9];
    r[7] = frame[10];
    r[19] = ByteSum19(r);
    RecordWrite(m_device, r, length);
}

void QAudioEffctBass::SendKeyPackets(uchar *frame)
{
    if (!m_device || !frame)
        return;
    // Colour groups in the order the colours first appear, keys ascending within a group; built
    // in fixed tables, as this runs for every frame.
    quint32 colours[kKeys];
    uchar group[kKeys];
    uchar members[kKeys] = {};
    int groups = 0;
    for (int i = 0; i < kKeys; ++i) {
        if (m_paused)
            return;
        const uchar *p = frame + 8 + 3 * i;
        group[i] = 0xFF;
        if (!p[0] && !p[1] && !p[2])
            continue;
        const quint32 c = (quint32(p[0]) << 16) | (quint32(p[1]) << 8) | p[2];
        int g = 0;
        while (g < groups && colours[g] != c)
            ++g;
        if (g == groups)
            colours[groups++] = c;
        group[i] = static_cast<uchar>(g);
        ++members[g];
    }
    uchar stream[kKeys * 5];
    int size = 0;
    for (int g = 0; g < groups; ++g) {
        stream[size++] = static_cast<uchar>(colours[g] >> 16);
        stream[size++] = static_cast<uchar>(colours[g] >> 8);
        stream[size++] = static_cast<uchar>(colours[g]);
        stream[size++] = members[g];
        for (int i = 0; i < kKeys; ++i)
            if (group[i] == g)
                stream[size++] = static_cast<uchar>(i);
    }
    const int count = (size + kPacketData - 1) / kPacketData;
    const int length = m_device->outputLength;
    // One packet run holds the record's lock, so a worker's packets never land in between.
    std::lock_guard<std::recursive_mutex> lock(m_device->io);
    for (int p = 0; p < count; ++p) {
        if (m_paused)
            return;
        const int n = std::min(kPacketData, size - p * kPacketData);
        m_report.fill('\0', std::max<int>(length, kReportSize));
        uchar *r = reinterpret_cast<uchar *>(m_report.data());
        r[0] = m_device->reportId;
        r[1] = 0x88;
        r[2] = static_cast<uchar>(count);
        r[3] = static_cast<uchar>(p);
        r[4] = static_cast<uchar>(0x10 + n);
        std::memcpy(r + 5, stream + p * kPacketData, static_cast<size_t>(n));
        r[19] = ByteSum19(r);
        RecordWrite(m_device, r, length);
        SleepMs(3);
    }
}
