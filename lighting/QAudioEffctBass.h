#pragma once
#include "lighting/LightRowsFile.h"

#include <QByteArray>
#include <QColor>
#include <QObject>
#include <QVector>
#include <atomic>
#include <cstdint>

struct DeviceRecord;

// The base of the audio light effects: it turns one analysed block of captured sound into a
// 520-byte key-colour frame and writes it to the current keyboard itself (one feature report
// when wired; a single-colour report or a run of per-key packets through the receiver), pacing
// itself with the sleeps of "SysBuild.ini". Render and everything it calls run on the draw
// thread; the setters, Stop and deletion run on the GUI thread once the effect is paused.
class QAudioEffctBass : public QObject
{
    Q_OBJECT
public:
    static constexpr quint32 kTag = 43981;   // 0xABCD: the draw thread renders only a tagged effect
    static constexpr int kFrameSize = 520;
    static constexpr ushort kBaseType = 180;

    // Where the processor vendor comes from (the platform layer's one check); until one is
    // given the processor counts as not AMD.
    using AmdCheck = bool (*)();
    static void SetAmdCheck(AmdCheck check);

    explicit QAudioEffctBass(QObject *parent = nullptr);
    ~QAudioEffctBass() override;

    virtual void SetColours(QColor colour, uchar multiColour, double gain, double smoothing);
    virtual void LoadLayout();
    virtual void Stop();
    virtual ushort EffectType();
    virtual int FrameDelay();
    // data holds count spectrum magnitudes, or is null with count 0 for an idle block.
    virtual void Render(double *data, int count, DeviceRecord *device);

    // Setters of the capture part and the lighting page (GUI thread).
    void SetBaseColour(const QColor &colour);
    void SetGain(double gain) { m_gain = gain; }
    void SetSmoothing(double smoothing) { m_smoothing = smoothing; }
    double Gain() const { return m_gain; }
    double Smoothing() const { return m_smoothing; }
    void SetMultiColour(uchar multiColour) { m_multiColour = multiColour; }
    void SetPreview(bool on) { m_preview = on; }
    void SetAmdSleep(quint32 ms) { m_amdSleep = ms; }
    void SetPeriod(quint32 ms) { m_period = ms; }
    // While paused nothing is rendered or sent, and runs in progress end at their next check.
    void SetPaused(bool paused) { m_paused = paused; }

    bool Paused() const { return m_paused; }
    quint32 Tag() const { return m_tag; }
    quint32 Period() const { return m_period; }
    bool LayoutLoaded() const { return m_layoutLoaded; }
    bool AmdProcessor() const { return m_amd; }
    // The three frame sleeps in ms: AMD, other processors, wireless.
    uchar AmdFrameSleep() const { return m_amdFrameSleep; }
    uchar OtherFrameSleep() const { return m_otherFrameSleep; }
    uchar WirelessFrameSleep() const { return m_wirelessFrameSleep; }

    // Spectrum arithmetic shared by the effects.
    static double Level(const double *values, int n);
    static QVector<double> ApplyGain(const QVector<double> &values, double x);
    static QVector<double> Blend(const QVector<double> &values, double a);
    static QVector<double> BandLevels(const double *data, uint n, uchar bands, double scale);
    static QVector<QColor> DefaultPalette();

Q_SIGNALS:
    // A frame for the on-screen keyboard's preview: an owned copy, so it may cross threads.
    void ToSoftware(QByteArray frame);
    void SoftwareClearDisp();

protected:
    QColor ColourAt(uchar index) const;
    void RotatePalette();
    // Writes R, G, B at a frame offset from the light rows; offsets outside 8..517 are skipped.
    void SetKey(int offset, uchar r, uchar g, uchar b);
    void SendFrame();
    void WriteFrame(uchar *frame, DeviceRecord *device);
    void SendSingleColour(uchar *frame);
    void SendKeyPackets(uchar *frame);
    // Reads the effect's own group of "SysBuild.ini" over the three frame sleeps.
    void ReadOwnSleeps(const QString &group);
    bool Wireless() const;
    // The idle block of most effects: clear the preview and rest 10 ms.
    void IdleBlock();
    static void SleepMs(int ms);
    // Drops the two preview connections and rests 200 ms: the common start of every Stop.
    void DisconnectPreview();
    // The key rows of a group of the product's light rows file; none without a file.
    static LightRows ReadListRows(const QString &group);
    static LightBands ReadStepRows(const QString &group);
    // The base colour, or with the multi-colour flag the palette entry.
    QColor KeyColour(uchar paletteIndex) const;

    quint32 m_tag = kTag;
    uchar *m_frame = nullptr;
    DeviceRecord *m_device = nullptr;
    LightBands m_rows;
    uchar m_r = 255, m_g = 0, m_b = 0;
    uchar m_multiColour = 1;
    double m_gain = 0.0;
    double m_smoothing = 0.0;
    std::atomic<bool> m_preview{true};
    QVector<QColor> m_palette;
    double m_levelMemory = 0.0;
    quint32 m_amdSleep = 0;
    quint32 m_period = 50;
    std::atomic<bool> m_paused{true};
    bool m_layoutLoaded = false;
    bool m_amd = false;
    uchar m_amdFrameSleep = 5;
    uchar m_otherFrameSleep = 50;
    uchar m_wirelessFrameSleep = 5;

private:
    QMetaObject::Connection m_toSoftware, m_clearDisp;
    QByteArray m_report;   // the zeroed output report buffer, reused for every packet
};

// Rounds half away from zero for positive values; see the definition for the others.
int RoundHalfAway(double v);
