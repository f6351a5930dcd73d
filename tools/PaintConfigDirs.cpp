#include "tools/PaintConfigDirs.h"
#include "tools/PaintCanvas.h"

#include <QPainter>
#include <QPainterPath>

namespace {
QPen Stroke(const QColor &colour, int w)
{
    QPen pen(colour, w / 9.0);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void Arrow(QPainter &p, QPointF from, QPointF to, int w)
{
    p.drawLine(from, to);
    QLineF shaft(to, from);
    for (double turn : {30.0, -30.0}) {
        QLineF barb(to, to + QPointF(w * 0.3, 0));
        barb.setAngle(shaft.angle() + turn);
        p.drawLine(barb);
    }
}

void Draw(QPainter &p, int w, int h, const QString &kind, const QColor &c)
{
    p.setPen(Stroke(c, w));
    p.setBrush(Qt::NoBrush);
    if (kind == QLatin1String("save")) { // a check mark in a box: use the file
        p.drawRoundedRect(QRectF(w * 0.12, h * 0.12, w * 0.76, h * 0.76), w * 0.12, w * 0.12);
        p.drawPolyline(QPolygonF() << QPointF(w * 0.3, h * 0.52) << QPointF(w * 0.45, h * 0.68) << QPointF(w * 0.72, h * 0.34));
    } else if (kind == QLatin1String("export")) {
        p.drawPolyline(QPolygonF() << QPointF(w * 0.15, h * 0.5) << QPointF(w * 0.15, h * 0.88) << QPointF(w * 0.85, h * 0.88)
                                   << QPointF(w * 0.85, h * 0.5));
        Arrow(p, QPointF(w * 0.5, h * 0.7), QPointF(w * 0.5, h * 0.1), w);
    } else if (kind == QLatin1String("import")) {
        p.drawPolyline(QPolygonF() << QPointF(w * 0.15, h * 0.5) << QPointF(w * 0.15, h * 0.88) << QPointF(w * 0.85, h * 0.88)
                                   << QPointF(w * 0.85, h * 0.5));
        Arrow(p, QPointF(w * 0.5, h * 0.1), QPointF(w * 0.5, h * 0.7), w);
    } else if (kind == QLatin1String("rename")) { // a pencil over a line
        p.drawLine(QPointF(w * 0.25, h * 0.7), QPointF(w * 0.75, h * 0.2));
        p.drawLine(QPointF(w * 0.15, h * 0.88), QPointF(w * 0.85, h * 0.88));
    } else if (kind == QLatin1String("del")) {
        p.drawLine(QPointF(w * 0.22, h * 0.22), QPointF(w * 0.78, h * 0.78));
        p.drawLine(QPointF(w * 0.78, h * 0.22), QPointF(w * 0.22, h * 0.78));
    } else if (kind == QLatin1String("new")) {
        p.drawLine(QPointF(w * 0.5, h * 0.15), QPointF(w * 0.5, h * 0.85));
        p.drawLine(QPointF(w * 0.15, h * 0.5), QPointF(w * 0.85, h * 0.5));
    } else { // a page with a folded corner: one configuration file
        QPainterPath page;
        page.moveTo(w * 0.2, h * 0.1);
        page.lineTo(w * 0.6, h * 0.1);
        page.lineTo(w * 0.8, h * 0.3);
        page.lineTo(w * 0.8, h * 0.9);
        page.lineTo(w * 0.2, h * 0.9);
        page.closeSubpath();
        p.drawPath(page);
        p.drawLine(QPointF(w * 0.35, h * 0.55), QPointF(w * 0.65, h * 0.55));
        p.drawLine(QPointF(w * 0.35, h * 0.72), QPointF(w * 0.65, h * 0.72));
    }
}
} // namespace

int PaintConfigDirsImages(const QString &root)
{
    const QString dir = QStringLiteral("resources/ConfigDirs/");
    const QColor normal(182, 183, 184), hover(78, 220, 252);
    int failures = 0;
    for (const QString kind : {"save", "export", "import", "rename", "del", "new"}) {
        failures += !SavePainted(root, dir + kind + "_nr.png", 18, 18,
                                 [kind, normal](QPainter &p, int w, int h) { Draw(p, w, h, kind, normal); });
        failures += !SavePainted(root, dir + kind + "_ov.png", 18, 18,
                                 [kind, hover](QPainter &p, int w, int h) { Draw(p, w, h, kind, hover); });
    }
    failures += !SavePainted(root, dir + "fileicon.png", 18, 18,
                             [normal](QPainter &p, int w, int h) { Draw(p, w, h, QStringLiteral("file"), normal); });
    return failures;
}
