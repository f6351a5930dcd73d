#include "tools/PaintPageIcons.h"
#include "tools/PaintCanvas.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

namespace {

QImage cross(int size, const QColor &colour)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, size / 9.0);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.drawEllipse(QRectF(size * 0.08, size * 0.08, size * 0.84, size * 0.84));
    p.drawLine(QPointF(size * 0.33, size * 0.33), QPointF(size * 0.67, size * 0.67));
    p.drawLine(QPointF(size * 0.67, size * 0.33), QPointF(size * 0.33, size * 0.67));
    return img;
}

QImage computer(int size, const QColor &colour)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, size / 14.0);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.drawRoundedRect(QRectF(size * 0.1, size * 0.14, size * 0.8, size * 0.52), size * 0.05, size * 0.05);
    p.drawLine(QPointF(size * 0.5, size * 0.66), QPointF(size * 0.5, size * 0.8));
    p.drawLine(QPointF(size * 0.3, size * 0.84), QPointF(size * 0.7, size * 0.84));
    return img;
}

// A page with a folded corner and an "M": a macro file on a mouse button's head.
QImage macroFile(int size, const QColor &colour)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(colour, size / 14.0);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    const double l = size * 0.18, r = size * 0.82, t = size * 0.08, b = size * 0.92, fold = size * 0.22;
    QPolygonF page;
    page << QPointF(l, t) << QPointF(r - fold, t) << QPointF(r, t + fold) << QPointF(r, b) << QPointF(l, b);
    p.drawPolygon(page);
    p.drawPolyline(QPolygonF() << QPointF(r - fold, t) << QPointF(r - fold, t + fold) << QPointF(r, t + fold));
    QPolygonF m;
    m << QPointF(size * 0.32, size * 0.76) << QPointF(size * 0.32, size * 0.44) << QPointF(size * 0.5, size * 0.62)
      << QPointF(size * 0.68, size * 0.44) << QPointF(size * 0.68, size * 0.76);
    p.drawPolyline(m);
    return img;
}

} // namespace

int PaintPageIcons(const QString &root)
{
    const QString base = root + QStringLiteral("/resources/PageIcons/");
    int failures = 0;
    failures += !SavePng(cross(60, QColor(180, 180, 180)), base + "exit_nv.png");
    failures += !SavePng(cross(60, QColor(255, 255, 255)), base + "exit_hv.png");
    failures += !SavePng(computer(64, QColor(200, 200, 200)), base + "media_computer.png");
    failures += !SavePng(macroFile(25, QColor(17, 150, 255)), base + "M_File_25px.png");
    return failures;
}
