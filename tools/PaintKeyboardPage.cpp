#include "tools/PaintKeyboardPage.h"
#include "tools/PaintCanvas.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const int kIcon = 40;

// One look per state: grey lines at rest, white under the pointer, white on the accent plate
// when the button's area is the one shown.
struct State
{
    const char *suffix;
    QColor ink;
    bool plate;
};
const State kStates[] = {
    {"_nr", QColor(170, 172, 178), false},
    {"_hv", QColor(255, 255, 255), false},
    {"_ck", QColor(255, 255, 255), true},
};

QPen Ink(const QColor &c, int w)
{
    QPen pen(c, w / 14.0);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void Plate(QPainter &p, int w, int h)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(48, 82, 132));
    p.drawRoundedRect(QRectF(1, 1, w - 2, h - 2), w * 0.2, h * 0.2);
    p.setBrush(Qt::NoBrush);
}

// A key cap with an arrow dropping onto it: a function assigned to a key.
void KeyAssign(QPainter &p, int w, int h, const QColor &c)
{
    p.setPen(Ink(c, w));
    p.drawRoundedRect(QRectF(w * 0.2, h * 0.44, w * 0.6, h * 0.42), w * 0.08, w * 0.08);
    p.drawLine(QPointF(w * 0.36, h * 0.76), QPointF(w * 0.64, h * 0.76));
    p.drawLine(QPointF(w * 0.5, h * 0.12), QPointF(w * 0.5, h * 0.36));
    p.drawLine(QPointF(w * 0.4, h * 0.27), QPointF(w * 0.5, h * 0.37));
    p.drawLine(QPointF(w * 0.6, h * 0.27), QPointF(w * 0.5, h * 0.37));
}

// A sun: lighting.
void Light(QPainter &p, int w, int h, const QColor &c)
{
    p.setPen(Ink(c, w));
    const QPointF centre(w * 0.5, h * 0.5);
    p.drawEllipse(centre, w * 0.15, h * 0.15);
    for (int i = 0; i < 8; ++i) {
        const double a = M_PI * i / 4.0;
        const QPointF d(std::cos(a), std::sin(a));
        p.drawLine(centre + QPointF(d.x() * w * 0.25, d.y() * h * 0.25), centre + QPointF(d.x() * w * 0.36, d.y() * h * 0.36));
    }
}

// A key cap carrying "Fn" drawn as strokes: the keyboard's functions.
void Function(QPainter &p, int w, int h, const QColor &c)
{
    p.setPen(Ink(c, w));
    p.drawRoundedRect(QRectF(w * 0.14, h * 0.18, w * 0.72, h * 0.64), w * 0.1, w * 0.1);
    // F
    p.drawLine(QPointF(w * 0.3, h * 0.36), QPointF(w * 0.3, h * 0.64));
    p.drawLine(QPointF(w * 0.3, h * 0.36), QPointF(w * 0.45, h * 0.36));
    p.drawLine(QPointF(w * 0.3, h * 0.5), QPointF(w * 0.42, h * 0.5));
    // n
    QPainterPath n;
    n.moveTo(w * 0.54, h * 0.64);
    n.lineTo(w * 0.54, h * 0.44);
    n.cubicTo(w * 0.58, h * 0.4, w * 0.7, h * 0.4, w * 0.7, h * 0.5);
    n.lineTo(w * 0.7, h * 0.64);
    p.drawPath(n);
}

// A gear: the system settings.
void System(QPainter &p, int w, int h, const QColor &c)
{
    p.setPen(Ink(c, w));
    const QPointF centre(w * 0.5, h * 0.5);
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const double a = 2.0 * M_PI * (i - 1.5) / (teeth * 4);
        const double r = (i % 4 < 2 ? 0.36 : 0.27) * w;
        const QPointF pt = centre + QPointF(std::cos(a) * r, std::sin(a) * r);
        if (i == 0)
            gear.moveTo(pt);
        else
            gear.lineTo(pt);
    }
    gear.closeSubpath();
    p.drawPath(gear);
    p.drawEllipse(centre, w * 0.1, h * 0.1);
}

// An arrow to the left: back to the device list.
void Back(QPainter &p, int w, int h, const QColor &c)
{
    QPen pen(c, h / 9.0);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.drawLine(QPointF(w * 0.2, h * 0.5), QPointF(w * 0.82, h * 0.5));
    p.drawLine(QPointF(w * 0.2, h * 0.5), QPointF(w * 0.44, h * 0.22));
    p.drawLine(QPointF(w * 0.2, h * 0.5), QPointF(w * 0.44, h * 0.78));
}

using Glyph = void (*)(QPainter &, int, int, const QColor &);

} // namespace

int PaintKeyboardPageImages(const QString &root)
{
    const QString folder = QStringLiteral("resources/QLStyleKeybordTabWidget/");
    const struct { const char *name; Glyph glyph; } left[] = {
        {"ButBora", KeyAssign}, {"ButLight", Light}, {"ButKeyFour", Function}, {"ButSysSet", System}};
    int failures = 0;
    for (const auto &button : left)
        for (const State &state : kStates)
            failures += !SavePainted(root, folder + QLatin1String(button.name) + QLatin1String(state.suffix) + ".png", kIcon,
                                     kIcon, [&](QPainter &p, int w, int h) {
                                         if (state.plate)
                                             Plate(p, w, h);
                                         button.glyph(p, w, h, state.ink);
                                     });
    // Drawn at twice the button's 28 x 25 so that it stays sharp when the style scales it.
    for (const State &state : kStates) {
        if (state.plate)
            continue;
        failures += !SavePainted(root, folder + QStringLiteral("ButExit") + QLatin1String(state.suffix) + ".png", 56, 50,
                                 [&](QPainter &p, int w, int h) { Back(p, w, h, state.ink); });
    }
    return failures;
}
