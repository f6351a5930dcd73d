#include "tools/PaintPageIcons.h"
#include "tools/PaintCanvas.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QtMath>

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

// ---- the left column of the mouse page ----

const int kMouseIcon = 40;
const QColor kInk(210, 210, 210);

QPen Ink(int w)
{
    QPen pen(kInk, w / 14.0);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

// A mouse seen from above with its two buttons.
void buttons(QPainter &p, int w, int h)
{
    p.setPen(Ink(w));
    const QRectF body(w * 0.28, h * 0.12, w * 0.44, h * 0.76);
    p.drawRoundedRect(body, w * 0.22, w * 0.22);
    p.drawLine(QPointF(w * 0.28, h * 0.42), QPointF(w * 0.72, h * 0.42));
    p.drawLine(QPointF(w * 0.5, h * 0.12), QPointF(w * 0.5, h * 0.42));
}

// A dial with its needle: sensitivity.
void dpi(QPainter &p, int w, int h)
{
    p.setPen(Ink(w));
    const QRectF arc(w * 0.12, h * 0.2, w * 0.76, h * 0.76);
    p.drawArc(arc, 0, 180 * 16);
    for (int i = 0; i <= 4; ++i) {
        const double a = M_PI * i / 4.0;
        const QPointF c = arc.center();
        p.drawLine(c + QPointF(std::cos(a) * w * 0.38, -std::sin(a) * h * 0.38),
                   c + QPointF(std::cos(a) * w * 0.30, -std::sin(a) * h * 0.30));
    }
    p.drawLine(arc.center(), arc.center() + QPointF(w * 0.2, -h * 0.2));
}

// Three slider rows: the settings.
void values(QPainter &p, int w, int h)
{
    p.setPen(Ink(w));
    const double knob[] = {0.35, 0.65, 0.45};
    for (int i = 0; i < 3; ++i) {
        const double y = h * (0.25 + 0.25 * i);
        p.drawLine(QPointF(w * 0.15, y), QPointF(w * 0.85, y));
        p.setBrush(kInk);
        p.drawEllipse(QPointF(w * knob[i], y), w * 0.07, w * 0.07);
        p.setBrush(Qt::NoBrush);
    }
}

// A chip with an arrow up: firmware and reset.
void firmware(QPainter &p, int w, int h)
{
    p.setPen(Ink(w));
    p.drawRect(QRectF(w * 0.25, h * 0.3, w * 0.5, h * 0.5));
    for (int i = 0; i < 3; ++i) {
        const double x = w * (0.35 + 0.15 * i);
        p.drawLine(QPointF(x, h * 0.8), QPointF(x, h * 0.9));
    }
    p.drawLine(QPointF(w * 0.5, h * 0.68), QPointF(w * 0.5, h * 0.1));
    p.drawLine(QPointF(w * 0.38, h * 0.22), QPointF(w * 0.5, h * 0.1));
    p.drawLine(QPointF(w * 0.62, h * 0.22), QPointF(w * 0.5, h * 0.1));
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
    const QString mouse = QStringLiteral("resources/MousePage/");
    failures += !SavePainted(root, mouse + "KeyBoradFunctionPage.png", kMouseIcon, kMouseIcon, buttons);
    failures += !SavePainted(root, mouse + "DpiSetPage.png", kMouseIcon, kMouseIcon, dpi);
    failures += !SavePainted(root, mouse + "MouseValuePage.png", kMouseIcon, kMouseIcon, values);
    failures += !SavePainted(root, mouse + "SystimePage.png", kMouseIcon, kMouseIcon, firmware);
    return failures;
}
