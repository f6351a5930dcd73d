#include "tools/PaintShell.h"
#include "tools/PaintCanvas.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <functional>

namespace {

using Painter = std::function<void(QPainter &, int, int, const QColor &)>;

bool save(const QString &root, const QString &relative, int size, const QColor &ink, const Painter &paint)
{
    return SavePainted(root, relative, size, size, [&](QPainter &p, int w, int h) { paint(p, w, h, ink); });
}

QPen strokePen(const QColor &ink, qreal width)
{
    QPen pen(ink, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// Three stacked diamonds: the navigation menu's button.
void layers(QPainter &p, int w, int h, const QColor &ink)
{
    p.setPen(strokePen(ink, w / 16.0));
    const qreal cx = w / 2.0;
    const qreal half = w * 0.38;
    const qreal depth = h * 0.16;
    for (int i = 2; i >= 0; --i) {
        const qreal cy = h * 0.34 + i * h * 0.16;
        QPainterPath diamond;
        diamond.moveTo(cx, cy - depth);
        diamond.lineTo(cx + half, cy);
        diamond.lineTo(cx, cy + depth);
        diamond.lineTo(cx - half, cy);
        diamond.closeSubpath();
        QColor fill = ink;
        fill.setAlpha(i == 0 ? 200 : 60);
        p.setBrush(fill);
        p.drawPath(diamond);
    }
}

void gear(QPainter &p, int w, int h, const QColor &ink)
{
    const QPointF c(w / 2.0, h / 2.0);
    const qreal outer = w * 0.42;
    const qreal inner = w * 0.30;
    QPainterPath teeth;
    const int count = 8;
    for (int i = 0; i < count * 2; ++i) {
        const qreal a = i * M_PI / count;
        const qreal r = (i % 2 == 0) ? outer : inner;
        const QPointF pt(c.x() + r * qCos(a), c.y() + r * qSin(a));
        if (i == 0)
            teeth.moveTo(pt);
        else
            teeth.lineTo(pt);
    }
    teeth.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, w * 0.12, h * 0.12);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(teeth.subtracted(hole));
}

void minimise(QPainter &p, int w, int h, const QColor &ink)
{
    p.setPen(strokePen(ink, w / 10.0));
    p.drawLine(QPointF(w * 0.25, h * 0.62), QPointF(w * 0.75, h * 0.62));
}

void maximise(QPainter &p, int w, int h, const QColor &ink)
{
    p.setPen(strokePen(ink, w / 12.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(w * 0.25, h * 0.25, w * 0.5, h * 0.5), w * 0.05, h * 0.05);
}

// Two overlapping frames: back to the normal size.
void normal(QPainter &p, int w, int h, const QColor &ink)
{
    p.setPen(strokePen(ink, w / 14.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(w * 0.38, h * 0.30), QPointF(w * 0.38, h * 0.22), QPointF(w * 0.78, h * 0.22),
                              QPointF(w * 0.78, h * 0.62), QPointF(w * 0.70, h * 0.62)}));
    p.drawRect(QRectF(w * 0.22, h * 0.38, w * 0.4, h * 0.4));
}

void cross(QPainter &p, int w, int h, const QColor &ink)
{
    p.setPen(strokePen(ink, w / 10.0));
    p.drawLine(QPointF(w * 0.28, h * 0.28), QPointF(w * 0.72, h * 0.72));
    p.drawLine(QPointF(w * 0.72, h * 0.28), QPointF(w * 0.28, h * 0.72));
}

// An open ring whose stroke fades from the head to the tail; turned, it reads as a spinner.
void spinner(QPainter &p, int w, int h, const QColor &ink)
{
    const qreal stroke = w * 0.09;
    const QRectF ring(stroke, stroke, w - 2 * stroke, h - 2 * stroke);
    const qreal head = 90.0;   // degrees, counter-clockwise from three o'clock
    const qreal sweep = 300.0; // the tail runs clockwise behind the head
    // A conical gradient turns counter-clockwise from its angle: transparent at the tail end,
    // full ink at the head.
    QConicalGradient fade(ring.center(), head);
    QColor clear = ink;
    clear.setAlpha(0);
    fade.setColorAt(0.0, ink);
    fade.setColorAt(1.0 - sweep / 360.0, clear);
    fade.setColorAt(1.0, ink);
    QPen pen(QBrush(fade), stroke);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawArc(ring, int((head - sweep) * 16), int(sweep * 16));
    // A round head.
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const qreal r = ring.width() / 2.0;
    const QPointF tip(ring.center().x() + r * qCos(qDegreesToRadians(head)), ring.center().y() - r * qSin(qDegreesToRadians(head)));
    p.drawEllipse(tip, stroke / 2.0, stroke / 2.0);
}

} // namespace

int PaintShellImages(const QString &root)
{
    const QColor idle(150, 151, 152);
    const QColor lit(240, 240, 240);
    const QColor alarm(255, 5, 5);
    struct Button {
        const char *name;
        Painter paint;
        QColor hovered;
    };
    const Button buttons[] = {
        {"set", gear, lit},
        {"min", minimise, lit},
        {"max", maximise, lit},
        {"norm", normal, lit},
        {"Delete", cross, alarm},
    };
    int failures = 0;
    for (const Button &b : buttons) {
        const QString base = QStringLiteral("resources/Title/") + QLatin1String(b.name);
        failures += !save(root, base + QStringLiteral("_nv.png"), 30, idle, b.paint);
        failures += !save(root, base + QStringLiteral("_hv.png"), 30, b.hovered, b.paint);
    }
    failures += !save(root, QStringLiteral("resources/QUORIX_IMGS/Layer.png"), 50, QColor(200, 201, 202), layers);
    failures += !save(root, QStringLiteral("resources/HID_API/Wait1_480px.png"), 480, QColor(48, 140, 230), spinner);
    return failures;
}
