#pragma once
// The spectrum analyser behind the Dynamic Spectrum audio effect: its own loopback capture, 64
// bands over 256 columns with peak hold, painted as a 256 x 64 picture. Also the listener of
// default-output changes, which reopen both captures.
#include "platform/AudioLoopback.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

class Visualizer
{
public:
    static constexpr int Columns = 256;
    static constexpr int Rows = 64;
    static constexpr int Pixels = Columns * Rows;
    using Picture = std::array<uint32_t, Pixels>; // red bits 0-7, green 8-15, blue 16-23

    // Made on first use, never destroyed.
    static Visualizer *instance();

    // Opens the capture; called once the audio capture first found an output.
    void Setup();
    bool IsSetUp() const { return m_setUp; }
    // Pauses this object's stream while no frames run (not while a frame may be running).
    void PauseCapture();
    // One analysis and one picture (capture thread); starts the stream if it was paused.
    void Frame();
    // Default output changed (GUI thread): the next frame reopens this capture, and the audio
    // capture reopens now.
    void OnDefaultDeviceChanged(const QString &name);

    // The last finished picture; read by the spectrum effect while the next one is drawn.
    const uint32_t *FrontPicture() const { return m_front.load()->data(); }
    void SetForegroundMode(int mode) { m_foregroundMode.store(mode); }
    int ForegroundMode() const { return m_foregroundMode.load(); }
    const float *Levels() const { return m_levels.data(); }
    const float *HeldLevels() const { return m_held.data(); }
    float Hue() const { return m_hue; }
    bool ReopenPending() const { return m_reopen.load(); }

    // Appends the newest samples of one packet of interleaved stereo floats to the history.
    void AddSamples(const float *data, int frames);
    // The analysis of the history into the column levels: hold decay, transform, bands, smoothing.
    void AnalyseHistory();

    // Pieces with fixed results.
    static float BandLevel(float magnitude);
    // Packed real spectrum of 512 values, scaled by 1/512: [0] DC, [1] Nyquist, then re/im pairs.
    static void RealFft512(float *work);
    static void PaintColourMap(int mode, int brightness, float hue, uint32_t *picture);
    static uint32_t HsvToRgb(int hue, int s, int v);

private:
    Visualizer();
    void OpenCapture();
    void ReadPackets();
    void Paint();

    Picture m_pictureA{}, m_pictureB{}, m_background{}, m_foreground{};
    std::atomic<Picture *> m_front;
    Picture *m_back;
    std::array<float, Columns> m_held{};
    std::array<float, Columns> m_levels{};
    std::array<float, Columns> m_weights{};
    std::array<float, 512> m_history{};
    std::array<float, 512> m_work{};
    std::array<std::array<float, 256>, 3> m_windows{};
    std::array<float, 2048> m_packet{}; // one packet: at most 1024 stereo frames
    int m_sampleGain = 270;
    int m_smoothWidth = 8;
    int m_windowSelector = 1;
    int m_holdDecay = 80;
    float m_hueStep = 500.0f;
    int m_backgroundBrightness = 100;
    int m_backgroundMode = 0;
    std::atomic<int> m_foregroundMode{5};
    float m_levelSmoothing = 1.0f;
    float m_hue = 0.0f;
    std::unique_ptr<platform::LoopbackStream> m_stream;
    std::atomic<bool> m_reopen{false};
    bool m_setUp = false;
};
