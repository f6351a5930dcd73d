#include "lighting/QEffctBase.h"

#include "keyboard/QMultifunKeyBoard.h"
#include "lighting/LightFramePool.h"

#include <QSettings>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
int LibraryRandom()
{
    return std::rand();
}

QVector<ushort> KeyboardPositions()
{
    QVector<ushort> out;
    if (QMultifunKeyBoard *board = QMultifunKeyBoard::instance()) {
        const QList<int> positions = board->KeyEffectPositions();
        out.reserve(positions.size());
        for (int p : positions)
            out.append(static_cast<ushort>(p));
    }
    return out;
}

QSettings *ProductRowsFile()
{
    return OpenRhythmLightIni();
}

QEffctBase::RandomSource s_random = &LibraryRandom;
QEffctBase::KeyPositionSource s_keys = &KeyboardPositions;
QEffctBase::RowsFileOpener s_rows = &ProductRowsFile;

QColor Rgb(int r, int g, int b)
{
    return QColor(r, g, b, 255);
}
} // namespace

QEffctBase::QEffctBase(QObject *parent) : QObject(parent)
{
    if (QMultifunKeyBoard *board = QMultifunKeyBoard::instance()) {
        connect(this, &QEffctBase::DispEffct_A, board, QOverload<uchar *, uchar>::of(&QMultifunKeyBoard::on_DispLagEffect));
        connect(this, &QEffctBase::DispButtonColor, board, &QMultifunKeyBoard::on_DispButtonColor);
        connect(this, &QEffctBase::ClearDisp, board, &QMultifunKeyBoard::on_ClearDisp);
    }
}

QEffctBase::~QEffctBase() = default; // QObject removes the connections

void QEffctBase::InitEffct(int, uchar, uchar, QColor) {}

void QEffctBase::SetColour(QColor colour)
{
    R = static_cast<uchar>(colour.red());
    G = static_cast<uchar>(colour.green());
    B = static_cast<uchar>(colour.blue());
    A = static_cast<uchar>(colour.alpha());
}

void QEffctBase::SetSpeed(int speed)
{
    Speed = speed & 0xFF;
}

void QEffctBase::SetLuminance(uchar luminance)
{
    Luminance = LuminanceLevel(luminance);
}

void QEffctBase::SetMoreColor(uchar multiColour)
{
    MColour = multiColour;
}

int QEffctBase::GetModel()
{
    return -1;
}

void QEffctBase::NextFrame() {}
void QEffctBase::StopEffct() {}
void QEffctBase::ReleaseEffct() {}

uchar QEffctBase::LuminanceLevel(uchar luminance)
{
    const int level = luminance > 4 ? luminance / 5 : luminance;
    return static_cast<uchar>(level > 4 ? 4 : level);
}

void QEffctBase::InitCommon(int speed, uchar luminance, uchar multiColour, const QColor &colour)
{
    QEffctBase::SetColour(colour);
    Speed = speed & 0xFF;
    Luminance = LuminanceLevel(luminance); // not the effect's own SetLuminance: that resets its fade
    MColour = multiColour;
    m_keys = KeyEffectPositions();
}

QVector<ushort> QEffctBase::KeyEffectPositions()
{
    return s_keys();
}

QSettings *QEffctBase::OpenRowsFile()
{
    return s_rows();
}

QByteArray QEffctBase::ReadStandardColourMap()
{
    std::unique_ptr<QSettings> ini(OpenRowsFile());
    return ini ? LightRowsFile::StandardColourMap(*ini) : QByteArray();
}

LightRows QEffctBase::LoadRowGroup(const QString &group)
{
    std::unique_ptr<QSettings> ini(OpenRowsFile());
    return ini ? LightRowsFile::ReadRows(*ini, group) : LightRows();
}

void QEffctBase::SetRandomSource(RandomSource source)
{
    s_random = source ? source : &LibraryRandom;
}

void QEffctBase::SetKeyPositionSource(KeyPositionSource source)
{
    s_keys = source ? source : &KeyboardPositions;
}

void QEffctBase::SetRowsFileOpener(RowsFileOpener opener)
{
    s_rows = opener ? opener : &ProductRowsFile;
}

int QEffctBase::Random()
{
    return s_random();
}

QVector<QColor> QEffctBase::RainbowPalette()
{
    return {Rgb(0xff, 0, 0), Rgb(0xff, 0x45, 0), Rgb(0xff, 0xff, 0x7f), Rgb(0, 0xff, 0),
            Rgb(0, 0xff, 0x7b), Rgb(0xc6, 0, 0xdc), Rgb(0xfd, 0x54, 0xfd)};
}

QVector<QColor> QEffctBase::SharedPalette()
{
    return {Rgb(255, 0, 10),  Rgb(255, 37, 0),  Rgb(255, 0, 10),  Rgb(255, 103, 0), Rgb(255, 224, 15), Rgb(255, 225, 0),
            Rgb(197, 255, 0), Rgb(124, 255, 0), Rgb(55, 255, 0),  Rgb(0, 255, 2),   Rgb(0, 255, 62),   Rgb(0, 255, 140),
            Rgb(0, 255, 221), Rgb(0, 212, 255), Rgb(0, 151, 255), Rgb(0, 71, 255),  Rgb(7, 0, 255),    Rgb(141, 0, 255)};
}

QVector<QColor> QEffctBase::SineWavePalette()
{
    QVector<QColor> palette = SharedPalette();
    palette << Rgb(125, 0, 239) << Rgb(93, 0, 207);
    return palette;
}

void QEffctBase::RotateForward()
{
    if (Palette.size() > 1)
        std::rotate(Palette.begin(), Palette.begin() + 1, Palette.end());
}

void QEffctBase::RotateBackward()
{
    if (Palette.size() > 1)
        std::rotate(Palette.begin(), Palette.end() - 1, Palette.end());
}

void QEffctBase::ClearFrame(uchar marker)
{
    std::memset(m_frame, 0, sizeof m_frame);
    m_frame[0] = marker;
}

void QEffctBase::PutKey(ushort position, uchar r, uchar g, uchar b)
{
    // Position 0 is the marker byte; a key must fit whole into the frame.
    if (position == 0 || position + 2 >= LightRowsFile::kFrameSize)
        return;
    m_frame[position] = r;
    m_frame[position + 1] = g;
    m_frame[position + 2] = b;
}

void QEffctBase::SendFrame(uchar transparence)
{
    if (uchar *out = LightFramePool::Acquire()) {
        std::memcpy(out, m_frame, sizeof m_frame);
        Q_EMIT DispEffct_A(out, transparence);
    }
}

void QEffctBase::SendFrame(const QByteArray &frame, uchar transparence)
{
    if (frame.size() < LightRowsFile::kFrameSize) {
        Q_EMIT DispEffct_A(nullptr, transparence); // no map: the preview is cleared
        return;
    }
    if (uchar *out = LightFramePool::Acquire()) {
        std::memcpy(out, frame.constData(), LightRowsFile::kFrameSize);
        Q_EMIT DispEffct_A(out, transparence);
    }
}

void QEffctBase::SendColourFrame(uchar transparence)
{
    if (MColour)
        return SendFrame(m_standardMap, transparence);
    ClearFrame(0x63);
    for (ushort p : qAsConst(m_keys))
        PutKey(p, R, G, B);
    SendFrame(transparence);
}
