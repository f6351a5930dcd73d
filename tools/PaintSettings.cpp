#include "tools/PaintSettings.h"
#include "tools/PaintCanvas.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>
#include <functional>

namespace {

using Painter = std::function<void(QPainter &, int, int)>;

int save(const QString &root, const QString &relative, int w, int h, const Painter &paint)
{
    return SavePainted(root, relative, w, h, [&](QPainter &p, int pw, int ph) {
        p.setRenderHint(QPainter::TextAntialiasing);
        paint(p, pw, ph);
    }) ? 0 : 1;
}

const QColor Ink(235, 235, 235);
const QColor Accent(5, 220, 252);

QPen pen(const QColor &c, qreal width)
{
    QPen p(c, width);
    p.setCapStyle(Qt::RoundCap);
    p.setJoinStyle(Qt::RoundJoin);
    return p;
}

// The word mark: a ring with a tail, then the name in wide capitals.
void logo(QPainter &p, int w, int h)
{
    const qreal r = h * 0.34;
    const QPointF c(h * 0.5, h * 0.5);
    p.setPen(pen(Accent, h * 0.09));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    p.drawLine(c + QPointF(r * 0.45, r * 0.45), c + QPointF(r * 1.05, r * 1.05));
    QFont f(QStringLiteral("Sans"));
    f.setPixelSize(int(h * 0.52));
    f.setBold(true);
    f.setLetterSpacing(QFont::AbsoluteSpacing, h * 0.08);
    p.setFont(f);
    p.setPen(Ink);
    p.drawText(QRectF(h * 1.1, 0, w - h * 1.1, h), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("QUORIX HUB"));
}

// A house: roof, walls and a door.
void home(QPainter &p, int w, int h)
{
    p.setPen(pen(Ink, w / 12.0));
    p.setBrush(Qt::NoBrush);
    QPainterPath roof;
    roof.moveTo(w * 0.12, h * 0.50);
    roof.lineTo(w * 0.50, h * 0.14);
    roof.lineTo(w * 0.88, h * 0.50);
    p.drawPath(roof);
    QPainterPath walls;
    walls.moveTo(w * 0.24, h * 0.42);
    walls.lineTo(w * 0.24, h * 0.86);
    walls.lineTo(w * 0.76, h * 0.86);
    walls.lineTo(w * 0.76, h * 0.42);
    p.drawPath(walls);
    p.drawLine(QPointF(w * 0.50, h * 0.86), QPointF(w * 0.50, h * 0.64));
}

// A cog of eight teeth round a hole.
void cog(QPainter &p, int w, int h)
{
    const QPointF c(w / 2.0, h / 2.0);
    const qreal outer = w * 0.44, inner = w * 0.32;
    QPainterPath gear;
    const int teeth = 8;
    for (int i = 0; i < teeth * 4; ++i) {
        const qreal a = (i / qreal(teeth * 4)) * 2 * M_PI;
        const qreal rad = (i % 4 == 1 || i % 4 == 2) ? outer : inner;
        const QPointF pt = c + QPointF(qCos(a) * rad, qSin(a) * rad);
        if (i == 0)
            gear.moveTo(pt);
        else
            gear.lineTo(pt);
    }
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, w * 0.13, w * 0.13);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPath(gear.subtracted(hole));
}

// An open-ended spanner lying on the diagonal.
void wrench(QPainter &p, int w, int h)
{
    p.setPen(pen(Ink, w * 0.14));
    p.drawLine(QPointF(w * 0.22, h * 0.78), QPointF(w * 0.58, h * 0.42));
    QPainterPath head;
    head.addEllipse(QPointF(w * 0.68, h * 0.32), w * 0.20, w * 0.20);
    QPainterPath jaw;
    jaw.addRect(QRectF(w * 0.66, h * 0.06, w * 0.12, h * 0.24));
    QTransform t;
    t.translate(w * 0.68, h * 0.32);
    t.rotate(45);
    t.translate(-w * 0.68, -h * 0.32);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPath(head.subtracted(t.map(jaw)));
}

} // namespace

int PaintSettingsImages(const QString &root)
{
    int failures = 0;
    failures += save(root, QStringLiteral("resources/QGlobalSetWidget/tarvenoLog.png"), 300, 50, logo);
    failures += save(root, QStringLiteral("resources/QLeftMenuPop/LayerHome.png"), 50, 50, home);
    failures += save(root, QStringLiteral("resources/QLeftMenuPop/LayerSet.png"), 50, 50, cog);
    failures += save(root, QStringLiteral("resources/QLeftMenuPop/Wrench_40px.png"), 40, 40, wrench);
    return failures;
}
