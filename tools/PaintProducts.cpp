#include "tools/PaintProducts.h"
#include "tools/PaintCanvas.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QImage keyboard(int w, int h, const QColor &accent)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(w * 0.04, h * 0.18, w * 0.92, h * 0.64);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, QColor(58, 60, 66));
    g.setColorAt(1, QColor(24, 25, 28));
    p.setPen(QPen(accent, qMax(1.0, w / 160.0)));
    p.setBrush(g);
    p.drawRoundedRect(body, w * 0.03, w * 0.03);
    const int cols = 15, rows = 5;
    const qreal gap = body.width() * 0.008;
    const qreal kw = (body.width() - gap * (cols + 1)) / cols;
    const qreal kh = (body.height() - gap * (rows + 1)) / rows;
    p.setPen(Qt::NoPen);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            QColor key = QColor::fromHsvF(qreal(c + r) / (cols + rows), 0.55, 0.85);
            p.setBrush(key);
            p.drawRoundedRect(QRectF(body.left() + gap + c * (kw + gap), body.top() + gap + r * (kh + gap), kw, kh),
                              kw * 0.15, kw * 0.15);
        }
    }
    return img;
}

QImage mouse(int w, int h, const QColor &accent, bool slim)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal bw = w * (slim ? 0.42 : 0.5);
    const QRectF body((w - bw) / 2, h * 0.08, bw, h * 0.84);
    QPainterPath shell;
    shell.addRoundedRect(body, bw * 0.5, bw * 0.45);
    QLinearGradient g(body.topLeft(), body.bottomRight());
    g.setColorAt(0, QColor(70, 72, 78));
    g.setColorAt(1, QColor(20, 21, 24));
    p.setPen(QPen(accent, qMax(1.0, w / 120.0)));
    p.setBrush(g);
    p.drawPath(shell);
    p.setPen(QPen(QColor(10, 10, 12), qMax(1.0, w / 150.0)));
    p.drawLine(QPointF(body.center().x(), body.top()), QPointF(body.center().x(), body.top() + body.height() * 0.38));
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(body.center().x() - bw * 0.06, body.top() + body.height() * 0.1, bw * 0.12, body.height() * 0.16),
                      bw * 0.05, bw * 0.05);
    p.setBrush(accent.darker(140));
    p.drawEllipse(QPointF(body.center().x(), body.top() + body.height() * 0.72), bw * 0.12, bw * 0.12);
    return img;
}

} // namespace

int PaintProductImages(const QString &root)
{
    int failures = 0;
    const QString base = root + QStringLiteral("/programdir/Products/");
    const QColor blue(48, 83, 132), teal(0, 169, 224), red(255, 0, 62);
    failures += !SavePng(keyboard(360, 180, blue), base + "QK75/QK75.png");
    failures += !SavePng(keyboard(120, 60, blue), base + "QK75/QK75_min.png");
    failures += !SavePng(mouse(180, 240, teal, false), base + "QM8/QM8.png");
    failures += !SavePng(mouse(60, 80, teal, false), base + "QM8/QM8_min.png");
    failures += !SavePng(mouse(180, 240, red, true), base + "QX3/QX3.png");
    failures += !SavePng(mouse(60, 80, red, true), base + "QX3/QX3_min.png");
    return failures;
}
