#include "lighting/Visualizer.h"

#include "lighting/AudioMonitor.h"

#include <cmath>
#include <cstring>

namespace {
constexpr float kPi = 3.14159265358979f;

// In-place complex radix-2 transform of nn complex values (interleaved re, im).
void ComplexFft(float *data, int nn)
{
    const int n = nn << 1;
    int j = 1;
    for (int i = 1; i < n; i += 2) {
        if (j > i) {
            std::swap(data[j - 1], data[i - 1]);
            std::swap(data[j], data[i]);
        }
        int m = nn;
        while (m >= 2 && j > m) {
            j -= m;
            m >>= 1;
        }
        j += m;
    }
    int mmax = 2;
    while (n > mmax) {
        const int istep = mmax << 1;
        const double theta = 6.28318530717959 / mmax;
        double wtemp = std::sin(0.5 * theta);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = std::sin(theta);
        double wr = 1.0, wi = 0.0;
        for (int m = 1; m < mmax; m += 2) {
            for (int i = m; i <= n; i += istep) {
                const int k = i + mmax;
                const float tempr = float(wr * data[k - 1] - wi * data[k]);
                const float tempi = float(wr * data[k] + wi * data[k - 1]);
                data[k - 1] = data[i - 1] - tempr;
                data[k] = data[i] - tempi;
                data[i - 1] += tempr;
                data[i] += tempi;
            }
            wr = (wtemp = wr) * wpr - wi * wpi + wr;
            wi = wi * wpr + wtemp * wpi + wi;
        }
        mmax = istep;
    }
}

uint32_t Pixel(int r, int g, int b)
{
    return uint32_t(r & 0xFF) | (uint32_t(g & 0xFF) << 8) | (uint32_t(b & 0xFF) << 16);
}

uint32_t Scaled(int r, int g, int b, int bright)
{
    return Pixel((r * bright) / 256, (g * bright) / 256, (b * bright) / 256);
}

struct Rgb { int r, g, b; };

void Solid(uint32_t *picture, Rgb c, int bright)
{
    std::fill(picture, picture + Visualizer::Pixels, Scaled(c.r, c.g, c.b, bright));
}

template <int K>
void Gradient(uint32_t *picture, const Rgb (&col)[K], int bright)
{
    for (int r = 1; r < Visualizer::Rows; ++r) {
        const int i = qBound(0, int(float(K) - float(K) * r / 63.0f), K - 1);
        std::fill(picture + r * Visualizer::Columns, picture + (r + 1) * Visualizer::Columns,
                  Scaled(col[i].r, col[i].g, col[i].b, bright));
    }
    for (int c = 0; c < Visualizer::Columns; ++c) {
        const int i = c < 128 ? qMin(int(float(K) - float(K) * 0.0078125f * c), K - 1)
                              : qMin(int(float(K) * 0.0078125f * (c - 128)), K - 1);
        picture[c] = Scaled(col[i].r, col[i].g, col[i].b, bright);
    }
}

uint32_t SineColour(float a, int bright)
{
    return Scaled(int((std::sin(a) + 1.0f) * 127), int((std::sin(a - 2.0933335f) + 1.0f) * 127),
                  int((std::sin(a + 2.0933335f) + 1.0f) * 127), bright);
}
} // namespace

Visualizer *Visualizer::instance()
{
    static Visualizer *analyser = new Visualizer; // lives until the process ends
    return analyser;
}

// The set-up values are given here, so a capture opened later (after a reopen) finds them.
Visualizer::Visualizer() : m_front(&m_pictureB), m_back(&m_pictureA)
{
    for (int i = 0; i < 256; ++i) {
        const double x = 2.0 * (4.0 * std::atan(1.0)) * i / 256.0;
        m_windows[0][i] = float((1.0 - std::cos(x)) / 2.0);
        m_windows[1][i] = float(0.54 - 0.46 * std::cos(x));
        m_windows[2][i] = float(0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2.0 * x));
        m_weights[i] = float(i * 0.00390625 * 0.5 + 0.04);
    }
}

void Visualizer::Setup()
{
    m_setUp = true;
    m_held.fill(0.0f);
    OpenCapture();
}

void Visualizer::OpenCapture()
{
    if (m_stream) {
        m_stream->stop();
        m_stream->close();
    } else {
        m_stream = platform::CreateLoopbackStream(platform::LoopbackStream::Samples::F32,
                                                  platform::LoopbackStream::Delivery::InOrder);
    }
    // Opened paused: the spectrum effect's frames start it (see ReadPackets).
    m_stream->open();
}

void Visualizer::PauseCapture()
{
    if (m_stream)
        m_stream->stop();
}

void Visualizer::OnDefaultDeviceChanged(const QString &)
{
    // The capture thread may be inside a frame: it reopens its own capture at the next one.
    m_reopen.store(true);
    // Also without an output: the audio capture then stops with its log line instead of reading a
    // stream that is gone.
    if (AudioMonitor *monitor = AudioMonitor::instance())
        monitor->Reinitialize();
}

void Visualizer::AddSamples(const float *data, int frames)
{
    const int floats = qBound(0, frames, 1024) * 2;
    const int groups = (frames + 3) / 4;
    for (int g = 0; g < groups; ++g) {
        float sum = 0.0f;
        // A group never reads past the packet's last sample.
        for (int k = 4 * g; k < 4 * g + 4 && k < floats; ++k)
            sum += data[k];
        std::memmove(m_history.data(), m_history.data() + 2, (m_history.size() - 2) * sizeof(float));
        const float v = sum * 0.25f * 2.0f * float(m_sampleGain);
        m_history[510] = v;
        m_history[511] = v;
    }
}

void Visualizer::ReadPackets()
{
    if (m_reopen.exchange(false) || !m_stream)
        OpenCapture();
    m_stream->start(); // every frame: the stream is paused whenever no frames run
    uint32_t flags = 0;
    for (int guard = 0; guard < 16; ++guard) { // at most the 100 ms the stream buffers
        const int frames = m_stream->readPacket(m_packet.data(), 1024, &flags, 0);
        if (frames <= 0)
            break;
        AddSamples(m_packet.data(), frames);
    }
}

float Visualizer::BandLevel(float m)
{
    if (!(m > 0.0f))
        return -1.0f; // no logarithm of zero: a silent band leaves its held level alone
    return std::log10(m * 1.1f) * 0.5f + m * 0.9f;
}

void Visualizer::RealFft512(float *data)
{
    const int n = 512;
    const double theta = 3.141592653589793 / (n >> 1);
    const float c1 = 0.5f, c2 = -0.5f;
    ComplexFft(data, n >> 1);
    double wtemp = std::sin(0.5 * theta);
    const double wpr = -2.0 * wtemp * wtemp;
    const double wpi = std::sin(theta);
    double wr = 1.0 + wpr, wi = wpi;
    const int np3 = n + 3;
    for (int i = 2; i <= (n >> 2); ++i) {
        const int i1 = i + i - 1, i2 = 1 + i1, i3 = np3 - i2, i4 = 1 + i3;
        const float h1r = c1 * (data[i1 - 1] + data[i3 - 1]);
        const float h1i = c1 * (data[i2 - 1] - data[i4 - 1]);
        const float h2r = -c2 * (data[i2 - 1] + data[i4 - 1]);
        const float h2i = c2 * (data[i1 - 1] - data[i3 - 1]);
        data[i1 - 1] = float(h1r + wr * h2r - wi * h2i);
        data[i2 - 1] = float(h1i + wr * h2i + wi * h2r);
        data[i3 - 1] = float(h1r - wr * h2r + wi * h2i);
        data[i4 - 1] = float(-h1i + wr * h2i + wi * h2r);
        wr = (wtemp = wr) * wpr - wi * wpi + wr;
        wi = wi * wpr + wtemp * wpi + wi;
    }
    const float h1r = data[0];
    data[0] = h1r + data[1];
    data[1] = h1r - data[1];
    for (int i = 0; i < n; ++i)
        data[i] *= 1.0f / 512.0f;
}

void Visualizer::AnalyseHistory()
{
    // The hold decay comes first; reading packets before it does not touch the held levels.
    for (float &held : m_held)
        held *= float(m_holdDecay) / 100.0f;
    m_work = m_history;
    if (m_windowSelector >= 1 && m_windowSelector <= 3)
        for (int i = 0; i < 256; ++i)
            m_work[i] *= m_windows[m_windowSelector - 1][i];
    RealFft512(m_work.data());
    m_work[0] = m_work[2];
    for (int i = 0; i < 256; ++i)
        m_work[i] *= m_weights[i];
    for (int b = 0; b < 64; ++b) {
        const float m = std::sqrt(m_work[2 * b] * m_work[2 * b] + m_work[2 * b + 1] * m_work[2 * b + 1]);
        float v = BandLevel(m);
        if (v > 1.0f)
            v = 1.0f;
        float &held = m_held[4 * b];
        if (v > held)
            held = v;
        if (held < 0.0f)
            held = 0.0f;
        m_held[4 * b + 1] = m_held[4 * b + 2] = m_held[4 * b + 3] = held;
    }
    const int w = m_smoothWidth;
    for (int i = 0; i < w; ++i) {
        const int n = w + i + 1;
        float sum = 0.0f;
        for (int k = 0; k < n; ++k)
            sum += m_held[k];
        m_held[i] = sum / n;
        sum = 0.0f;
        for (int k = 256 - n; k < 256; ++k)
            sum += m_held[k];
        m_held[255 - i] = sum / n;
    }
    for (int i = w; i <= 255 - w - 1; ++i) {
        float sum = m_held[i];
        for (int j = 1; j <= w; ++j)
            sum += m_held[i - j] + m_held[i + j];
        m_held[i] = sum / float(2 * w + 1);
    }
    for (int c = 0; c < Columns; ++c)
        m_levels[c] += (m_held[c] - m_levels[c]) * m_levelSmoothing;
}

void Visualizer::Frame()
{
    ReadPackets();
    AnalyseHistory();
    if (m_hue >= 360.0f)
        m_hue = 0.0f;
    if (m_hue < 0.0f)
        m_hue = 360.0f;
    Paint();
    m_hue += m_hueStep / 100.0f;
}

void Visualizer::Paint()
{
    PaintColourMap(m_backgroundMode, m_backgroundBrightness, m_hue, m_background.data());
    PaintColourMap(m_foregroundMode.load(), 100, m_hue, m_foreground.data());
    Picture &back = *m_back;
    for (int r = 0; r < Rows; ++r) {
        const float threshold = float(64 - r) / 64.0f;
        for (int c = 0; c < Columns; ++c) {
            const int i = r * Columns + c;
            back[i] = m_levels[c] > threshold ? m_foreground[i] : m_background[i];
        }
    }
    // Row 0: the bass bar, growing from the middle outwards.
    for (int c = 0; c < Columns; ++c) {
        const float d = c < 128 ? float(127 - c) * 0.0078125f : float(c - 128) * 0.0078125f;
        back[c] = m_levels[5] - 0.05f > d ? m_foreground[c] : m_background[c];
    }
    Picture *done = m_back;
    m_back = m_front.exchange(done);
}

uint32_t Visualizer::HsvToRgb(int hue, int s, int v)
{
    if (s == 0)
        return Pixel(v, v, v);
    const int h = ((hue % 360) + 360) % 360;
    const int k = h / 60;
    const int p = ((256 - s) * v) / 256;
    const int q = ((15360 - (h - 60 * k) * s) * v) / 15360;
    const int t = ((15360 - (60 * (k + 1) - h) * s) * v) / 15360;
    switch (k) {
    case 0: return Pixel(v, t, p);
    case 1: return Pixel(q, v, p);
    case 2: return Pixel(p, v, t);
    case 3: return Pixel(p, q, v);
    case 4: return Pixel(t, p, v);
    default: return Pixel(v, p, q);
    }
}

void Visualizer::PaintColourMap(int mode, int brightness, float hue, uint32_t *picture)
{
    // brightness x 2.55 as whole numbers: 100 gives 255 (in double arithmetic it truncates to 254).
    const int bright = brightness * 255 / 100;
    static const Rgb gyr[] = {{0, 255, 0}, {255, 255, 0}, {255, 0, 0}};
    static const Rgb rainbow[] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0}, {0, 255, 255}, {0, 0, 255}, {255, 0, 255}};
    static const Rgb rainbowBack[] = {{255, 0, 255}, {0, 0, 255}, {0, 255, 255}, {0, 255, 0}, {255, 255, 0}, {255, 0, 0}};
    static const Rgb gwr[] = {{0, 255, 0}, {255, 255, 255}, {255, 0, 0}};
    static const Rgb bcw[] = {{0, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    static const Rgb rwb[] = {{255, 0, 0}, {255, 255, 255}, {0, 0, 255}};
    switch (mode) {
    case 0: Solid(picture, {0, 0, 0}, bright); break;
    case 1: Gradient(picture, gyr, bright); break;
    case 2: Gradient(picture, rainbow, bright); break;
    case 3: Gradient(picture, rainbowBack, bright); break;
    case 4: Solid(picture, {255, 255, 255}, bright); break;
    case 5: Solid(picture, {255, 0, 0}, bright); break;
    case 6: Solid(picture, {255, 64, 0}, bright); break;
    case 7: Solid(picture, {255, 255, 0}, bright); break;
    case 8: Solid(picture, {0, 255, 0}, bright); break;
    case 9: Solid(picture, {0, 0, 255}, bright); break;
    case 10: Solid(picture, {0, 255, 255}, bright); break;
    case 11: Solid(picture, {64, 0, 255}, bright); break;
    case 12: Gradient(picture, gwr, bright); break;
    case 13:
        for (int r = 0; r < Rows; ++r)
            for (int c = 0; c < Columns; ++c) {
                const float angle = float(std::atan2(double(r - 64), double(c - 128)) * 57.295827908797776 + 180.0);
                picture[r * Columns + c] = HsvToRgb(int(float(int(angle) % 360) + hue), 255, bright);
            }
        break;
    case 14: {
        const float a = float((int(1.4117647f - hue) % 360) / 360.0 * 2.0 * 3.14);
        std::fill(picture, picture + Pixels, SineColour(a, bright));
        break;
    }
    case 15: Gradient(picture, bcw, bright); break;
    case 16: Gradient(picture, rwb, bright); break;
    case 17:
        for (int c = 0; c < Columns; ++c) {
            const float a = float((int(c * 1.4117647f - hue) % 360) / 360.0 * 2.0 * 3.14);
            const uint32_t px = SineColour(a, bright);
            for (int r = 0; r < Rows; ++r)
                picture[r * Columns + c] = px;
        }
        break;
    case 18:
        for (int c = 0; c < Columns; ++c) {
            const uint32_t px = HsvToRgb(int(256 - c + hue) % 360, 255, bright);
            for (int r = 0; r < Rows; ++r)
                picture[r * Columns + c] = px;
        }
        break;
    default:
        break; // the picture keeps what it showed
    }
}
