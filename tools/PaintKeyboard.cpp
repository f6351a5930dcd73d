#include "tools/PaintKeyboard.h"
#include "tools/PaintCanvas.h"
#include "keyboard/KeyCapText.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QRect>
#include <QVector>
#include <QXmlStreamReader>

namespace {

struct Key
{
    QRect rect;
    QString legend;
};

// The keys of the first key group of a layout file, with their printed legends.
QVector<Key> LayoutKeys(const QString &path)
{
    QVector<Key> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return keys;
    QXmlStreamReader xml(&file);
    int groups = 0;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement())
            continue;
        if (xml.name() == QLatin1String("KeyArrs") && ++groups > 1)
            break;
        if (xml.name() == QLatin1String("SubKey")) {
            const auto a = xml.attributes();
            const QString text = a.value(QLatin1String("KeyText")).toString();
            const QString cap = KeyCapText(text);
            keys.append({QRect(a.value(QLatin1String("x")).toInt(), a.value(QLatin1String("y")).toInt(),
                               a.value(QLatin1String("width")).toInt(), a.value(QLatin1String("height")).toInt()),
                         cap == QLatin1String("NULL") ? text : cap});
        }
    }
    return keys;
}

// Flat caps on a dark body, legends printed in their upper left corner: the keys' own colours
// and assignment borders are laid over them by the program, the middle of each cap stays plain.
void Board(QPainter &p, int w, int h, const QVector<Key> &keys)
{
    p.setPen(QPen(QColor(48, 83, 132), 2));
    p.setBrush(QColor(30, 31, 35));
    p.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), 12, 12);
    QFont font = p.font();
    font.setPixelSize(9);
    p.setFont(font);
    for (const Key &k : keys) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(18, 18, 21));
        p.drawRoundedRect(QRectF(k.rect).adjusted(-1, -1, 1, 2), 6, 6);
        p.setBrush(QColor(58, 60, 66));
        p.drawRoundedRect(QRectF(k.rect), 5, 5);
        p.setPen(QColor(200, 204, 212));
        const QStringList lines = k.legend.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i)
            p.drawText(QRect(k.rect.x() + 5, k.rect.y() + 3 + i * 10, k.rect.width() - 8, 10),
                       Qt::AlignLeft | Qt::AlignVCenter, lines.at(i));
    }
}

void Speaker(QPainter &p, int s, const QColor &c)
{
    QPainterPath body;
    body.moveTo(s * 0.14, s * 0.38);
    body.lineTo(s * 0.3, s * 0.38);
    body.lineTo(s * 0.5, s * 0.2);
    body.lineTo(s * 0.5, s * 0.8);
    body.lineTo(s * 0.3, s * 0.62);
    body.lineTo(s * 0.14, s * 0.62);
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(body);
}

QPen Stroke(int s, const QColor &c)
{
    QPen pen(c, s / 12.0);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

void Mute(QPainter &p, int s, int)
{
    const QColor c(225, 228, 235);
    Speaker(p, s, c);
    p.setPen(Stroke(s, c));
    p.drawLine(QPointF(s * 0.62, s * 0.38), QPointF(s * 0.86, s * 0.62));
    p.drawLine(QPointF(s * 0.86, s * 0.38), QPointF(s * 0.62, s * 0.62));
}

void VolumeUp(QPainter &p, int s, int)
{
    const QColor c(225, 228, 235);
    Speaker(p, s, c);
    p.setPen(Stroke(s, c));
    p.drawLine(QPointF(s * 0.6, s * 0.5), QPointF(s * 0.88, s * 0.5));
    p.drawLine(QPointF(s * 0.74, s * 0.36), QPointF(s * 0.74, s * 0.64));
}

void VolumeDown(QPainter &p, int s, int)
{
    const QColor c(225, 228, 235);
    Speaker(p, s, c);
    p.setPen(Stroke(s, c));
    p.drawLine(QPointF(s * 0.6, s * 0.5), QPointF(s * 0.88, s * 0.5));
}

void Help(QPainter &p, int s, int)
{
    const QColor c(225, 228, 235);
    p.setPen(Stroke(s, c));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(s * 0.12, s * 0.12, s * 0.76, s * 0.76));
    p.drawArc(QRectF(s * 0.36, s * 0.26, s * 0.28, s * 0.24), 180 * 16, -250 * 16);
    p.drawLine(QPointF(s * 0.5, s * 0.5), QPointF(s * 0.5, s * 0.58));
    p.drawPoint(QPointF(s * 0.5, s * 0.72));
}

} // namespace

int PaintKeyboardImages(const QString &root)
{
    int failures = 0;
    const QString product = root + QStringLiteral("/programdir/Products/QK75/");
    const QVector<Key> keys = LayoutKeys(product + QStringLiteral("QK75_KeyBoed.xml"));
    if (keys.isEmpty())
        return 1;
    QRect bounds;
    for (const Key &k : keys)
        bounds |= k.rect;
    const int w = bounds.right() + 1 + bounds.left(), h = bounds.bottom() + 1 + bounds.top();
    failures += !SavePng(PaintCanvas(w, h, [&](QPainter &p, int cw, int ch) { Board(p, cw, ch, keys); }),
                         product + QStringLiteral("QK75_KeyBoard.png"));
    const QString icons = QStringLiteral("resources/QLStyleKeybordTabWidget/");
    failures += !SavePainted(root, icons + QStringLiteral("Mute.png"), 36, 36, Mute);
    failures += !SavePainted(root, icons + QStringLiteral("Up.png"), 36, 36, VolumeUp);
    failures += !SavePainted(root, icons + QStringLiteral("Down.png"), 36, 36, VolumeDown);
    failures += !SavePainted(root, icons + QStringLiteral("Help.png"), 36, 36, Help);
    return failures;
}
