#pragma once
#include "lighting/LightRowsFile.h"

#include <QByteArray>
#include <QColor>
#include <QObject>
#include <QVector>

class QSettings;

// One lighting mode computed on the host to animate the on-screen keyboard. The engine calls
// InitEffct on the GUI thread, then NextFrame once per frame period on its own thread.
class QEffctBase : public QObject
{
    Q_OBJECT
public:
    using RandomSource = int (*)();
    using KeyPositionSource = QVector<ushort> (*)();
    using RowsFileOpener = QSettings *(*)();

    explicit QEffctBase(QObject *parent = nullptr);
    ~QEffctBase() override;

    virtual void InitEffct(int speed, uchar luminance, uchar multiColour, QColor colour);
    virtual void SetColour(QColor colour);
    virtual void SetSpeed(int speed);
    virtual void SetLuminance(uchar luminance);
    virtual void SetMoreColor(uchar multiColour);
    virtual int GetModel();
    virtual void NextFrame();
    virtual void StopEffct();
    virtual void ReleaseEffct();

    // True once the effect has shown all it will: the engine then ends its loop.
    bool EndsLoop() const { return m_endLoop; }

    // The effect positions of the on-screen keyboard's keys (GUI thread only).
    static QVector<ushort> KeyEffectPositions();
    // The 520-byte standard colour map of the light rows file; empty without a rows file.
    static QByteArray ReadStandardColourMap();
    // A new settings object on the light rows file; null when there is none to open.
    static QSettings *OpenRowsFile();

    // Where randomness, key positions and the rows file come from: the C library's generator,
    // the on-screen keyboard and the current product by default. Null restores the default.
    static void SetRandomSource(RandomSource source);
    static void SetKeyPositionSource(KeyPositionSource source);
    static void SetRowsFileOpener(RowsFileOpener opener);

    static QVector<QColor> RainbowPalette();
    static QVector<QColor> SharedPalette();
    static QVector<QColor> SineWavePalette();
    // Level 0..4 of a luminance: divided by 5 above 4, anything still above 4 counts as 4.
    static uchar LuminanceLevel(uchar luminance);

    uchar R = 0, G = 0, B = 0, A = 0;
    int Speed = 0;
    int Luminance = 0;
    uchar MColour = 0;
    QVector<QColor> Palette;

Q_SIGNALS:
    void DispEffct_A(uchar *datas, uchar transparence);
    void DispButtonColor(ushort Buttonid, uchar R, uchar G, uchar B, ushort transparence);
    void ClearDisp();

protected:
    void InitCommon(int speed, uchar luminance, uchar multiColour, const QColor &colour);
    void RotateForward();
    void RotateBackward();
    static int Random();
    LightRows LoadRowGroup(const QString &group);

    // The effect's own frame, copied out by SendFrame.
    void ClearFrame(uchar marker);
    void PutKey(ushort position, uchar r, uchar g, uchar b);
    void SendFrame(uchar transparence);
    void SendFrame(const QByteArray &frame, uchar transparence);
    // The effect colour, or the standard colour map with the multi-colour flag, at every key.
    void SendColourFrame(uchar transparence);

    QVector<ushort> m_keys;     // copied from the keyboard in InitEffct; the engine thread reads only this
    QByteArray m_standardMap;   // read in InitEffct, on the GUI thread
    uchar m_frame[LightRowsFile::kFrameSize] = {};
    bool m_endLoop = false;
};
