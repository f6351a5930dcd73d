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

// The key-definition pictures of a mouse: 500 x 560, shown centred on the 900 x 630 page, so a
// point of the page lies at (x - 200, y - 35) of the picture. The marks sit where the sample
// profiles put each button's callout start.
QImage mouseTop(const QColor &accent)
{
    QImage img(500, 560, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(140, 25, 220, 520);
    QLinearGradient g(body.topLeft(), body.bottomRight());
    g.setColorAt(0, QColor(72, 74, 80));
    g.setColorAt(1, QColor(18, 19, 22));
    p.setPen(QPen(accent, 3));
    p.setBrush(g);
    p.drawRoundedRect(body, 110, 130);
    p.setPen(QPen(QColor(8, 8, 10), 3));
    p.drawLine(QPointF(250, 25), QPointF(250, 250));
    p.drawLine(QPointF(150, 250), QPointF(350, 250));
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(238, 80, 24, 60), 10, 10);     // wheel
    p.drawRoundedRect(QRectF(240, 300, 20, 30), 6, 6);      // DPI button
    p.setBrush(accent.lighter(130));
    for (const QPointF &mark : {QPointF(220, 115), QPointF(280, 115)})
        p.drawEllipse(mark, 6, 6);
    return img;
}

QImage mouseSide(const QColor &accent)
{
    QImage img(500, 560, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shell;
    shell.moveTo(30, 440);
    shell.cubicTo(40, 200, 200, 110, 300, 120);
    shell.cubicTo(420, 130, 480, 260, 470, 440);
    shell.closeSubpath();
    QLinearGradient g(QPointF(30, 120), QPointF(470, 440));
    g.setColorAt(0, QColor(72, 74, 80));
    g.setColorAt(1, QColor(18, 19, 22));
    p.setPen(QPen(accent, 3));
    p.setBrush(g);
    p.drawPath(shell);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(140, 190, 60, 30), 8, 8);  // forward
    p.drawRoundedRect(QRectF(300, 190, 60, 30), 8, 8);  // back
    p.drawEllipse(QPointF(150, 165), 10, 10);           // sniper
    p.drawEllipse(QPointF(350, 315), 12, 12);           // fire
    return img;
}

// The key page's panel button: a gear, bright while the panel is open.
void gear(QPainter &p, int w, int h, const QColor &colour)
{
    p.setPen(QPen(colour, w / 10.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF c(w / 2.0, h / 2.0);
    for (int i = 0; i < 8; ++i) {
        QLineF tooth(c, c + QPointF(w * 0.42, 0));
        tooth.setAngle(i * 45.0);
        p.drawLine(QLineF(tooth.pointAt(0.62), tooth.p2()));
    }
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, w * 0.26, h * 0.26);
}

// The lock of the left lists, shut or open.
void padlock(QPainter &p, int w, int h, bool shut)
{
    const QColor colour(220, 221, 224);
    p.setPen(QPen(colour, w / 12.0, Qt::SolidLine, Qt::RoundCap));
    const QRectF shackle(w * 0.3, h * 0.12, w * 0.4, h * 0.5);
    p.drawArc(shackle.translated(shut ? 0 : w * 0.14, shut ? 0 : -h * 0.06), 0, 180 * 16);
    p.drawLine(QPointF(w * 0.7 + (shut ? 0 : w * 0.14), h * 0.37 - (shut ? 0 : h * 0.06)), QPointF(w * 0.7 + (shut ? 0 : w * 0.14), h * 0.45));
    if (shut)
        p.drawLine(QPointF(w * 0.3, h * 0.37), QPointF(w * 0.3, h * 0.45));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(w * 0.2, h * 0.45, w * 0.6, h * 0.45), w * 0.08, w * 0.08);
}

} // namespace

int PaintMouseKeyPageIcons(const QString &root)
{
    const QString dir = QStringLiteral("resources/MouseKeyPage/");
    int failures = 0;
    failures += !SavePainted(root, dir + "Services_35px.png", 35, 35, [](QPainter &p, int w, int h) { gear(p, w, h, QColor(14, 183, 255)); });
    failures += !SavePainted(root, dir + "Un_Services_35px.png", 35, 35, [](QPainter &p, int w, int h) { gear(p, w, h, QColor(182, 183, 184)); });
    failures += !SavePainted(root, dir + "lock_35.png", 35, 35, [](QPainter &p, int w, int h) { padlock(p, w, h, true); });
    failures += !SavePainted(root, dir + "unlock_35.png", 35, 35, [](QPainter &p, int w, int h) { padlock(p, w, h, false); });
    return failures;
}

int PaintMouseProfileImages(const QString &root)
{
    int failures = 0;
    const QString base = root + QStringLiteral("/programdir/Products/");
    const QColor teal(0, 169, 224), red(255, 0, 62);
    failures += !SavePng(mouseTop(teal), base + "QM8/QM8_top.png");
    failures += !SavePng(mouseSide(teal), base + "QM8/QM8_side.png");
    failures += !SavePng(mouseTop(red), base + "QX3/QX3_top.png");
    failures += !SavePng(mouseSide(red), base + "QX3/QX3_side.png");
    return failures;
}

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
