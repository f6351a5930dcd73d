#include "tools/PaintWidgets.h"
#include "tools/PaintCanvas.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

void chevron(QPainter &p, int w, int h, bool up)
{
    QPen pen(QColor(200, 200, 200), 2.0);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    const qreal top = 1.5, bottom = h - 1.5;
    QPainterPath path;
    if (up) {
        path.moveTo(1.5, bottom);
        path.lineTo(w / 2.0, top);
        path.lineTo(w - 1.5, bottom);
    } else {
        path.moveTo(1.5, top);
        path.lineTo(w / 2.0, bottom);
        path.lineTo(w - 1.5, top);
    }
    p.drawPath(path);
}

// Three overlapping discs in red, green and blue; filled, outlined or dimmed.
enum class Discs { Filled, Outline, Dimmed };

void rgbDiscs(QPainter &p, int w, int h, Discs kind)
{
    const qreal r = w * 0.27;
    const QPointF centres[3] = {{w * 0.5, h * 0.34}, {w * 0.34, h * 0.63}, {w * 0.66, h * 0.63}};
    const QColor colours[3] = {{235, 40, 40}, {40, 200, 70}, {50, 110, 255}};
    p.setCompositionMode(kind == Discs::Filled ? QPainter::CompositionMode_Plus : QPainter::CompositionMode_SourceOver);
    for (int i = 0; i < 3; ++i) {
        QColor c = colours[i];
        if (kind == Discs::Filled) {
            c.setAlpha(220);
            p.setPen(Qt::NoPen);
            p.setBrush(c);
        } else if (kind == Discs::Outline) {
            p.setPen(QPen(QColor(150, 150, 150), 1.6));
            p.setBrush(Qt::NoBrush);
        } else {
            p.setPen(QPen(QColor(90, 90, 90), 1.4));
            p.setBrush(QColor(60, 60, 60, 120));
        }
        p.drawEllipse(centres[i], r, r);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (kind == Discs::Dimmed) {
        QPen slash(QColor(170, 60, 60), 2.4);
        slash.setCapStyle(Qt::RoundCap);
        p.setPen(slash);
        p.drawLine(QPointF(w * 0.15, h * 0.85), QPointF(w * 0.85, h * 0.15));
    }
}

void eyedropper(QPainter &p, int w, int h)
{
    p.translate(w / 2.0, h / 2.0);
    p.rotate(45);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 200, 200));
    // Bulb, collar and a tapering glass tube pointing down-left.
    p.drawRoundedRect(QRectF(-3, -h * 0.45, 6, 6), 2.5, 2.5);
    p.drawRect(QRectF(-4.5, -h * 0.45 + 6, 9, 2.5));
    QPainterPath tube;
    tube.moveTo(-2.2, -h * 0.45 + 8.5);
    tube.lineTo(2.2, -h * 0.45 + 8.5);
    tube.lineTo(1.0, h * 0.38);
    tube.lineTo(0, h * 0.46);
    tube.lineTo(-1.0, h * 0.38);
    tube.closeSubpath();
    p.setBrush(QColor(160, 160, 160));
    p.drawPath(tube);
}

} // namespace

int PaintWidgetImages(const QString &root)
{
    int failures = 0;
    auto save = [&](const QString &relative, int w, int h, const std::function<void(QPainter &, int, int)> &paint) {
        if (!SavePainted(root, relative, w, h, paint))
            ++failures;
    };
    save(QStringLiteral("resources/QACombxBox/Arr_Down.png"), 12, 8, [](QPainter &p, int w, int h) { chevron(p, w, h, false); });
    save(QStringLiteral("resources/QACombxBox/Arr_Up.png"), 12, 8, [](QPainter &p, int w, int h) { chevron(p, w, h, true); });
    save(QStringLiteral("resources/QEditColourDialog/icons8_rgb_circle_2_30px.png"), 30, 30,
         [](QPainter &p, int w, int h) { rgbDiscs(p, w, h, Discs::Filled); });
    save(QStringLiteral("resources/QEditColourDialog/icons8_rgb_circle_3_30px.png"), 30, 30,
         [](QPainter &p, int w, int h) { rgbDiscs(p, w, h, Discs::Outline); });
    save(QStringLiteral("resources/QEditColourDialog/icons8_rgb_Stop30px.png"), 30, 30,
         [](QPainter &p, int w, int h) { rgbDiscs(p, w, h, Discs::Dimmed); });
    save(QStringLiteral("resources/QEditColourDialog/straw.png"), 20, 20, eyedropper);
    return failures;
}
