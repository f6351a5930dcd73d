#include "tools/PaintFirmwareUpdate.h"
#include "tools/PaintCanvas.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// A cube seen from above a corner, three shaded faces: the device being written.
void cube(QPainter &p, int w, int h)
{
    const QPointF top(w * 0.5, h * 0.12), left(w * 0.14, h * 0.32), right(w * 0.86, h * 0.32);
    const QPointF mid(w * 0.5, h * 0.52), bottom(w * 0.5, h * 0.9);
    const QPointF leftLow(w * 0.14, h * 0.7), rightLow(w * 0.86, h * 0.7);
    p.setPen(QPen(QColor(20, 22, 26), w / 60.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(120, 170, 230));
    p.drawPolygon(QPolygonF({top, right, mid, left}));
    p.setBrush(QColor(48, 82, 132));
    p.drawPolygon(QPolygonF({left, mid, bottom, leftLow}));
    p.setBrush(QColor(70, 116, 180));
    p.drawPolygon(QPolygonF({mid, right, rightLow, bottom}));
}

// A USB plug crossed out: the receiver leaves while its firmware is written.
void usbOff(QPainter &p, int w, int h)
{
    const QColor grey(200, 200, 200);
    p.setPen(Qt::NoPen);
    p.setBrush(grey);
    p.drawRoundedRect(QRectF(w * 0.34, h * 0.44, w * 0.32, h * 0.42), w * 0.04, w * 0.04);
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(w * 0.39, h * 0.16, w * 0.22, h * 0.28));
    p.setBrush(QColor(40, 40, 40));
    p.drawRect(QRectF(w * 0.43, h * 0.22, w * 0.05, h * 0.06));
    p.drawRect(QRectF(w * 0.52, h * 0.22, w * 0.05, h * 0.06));
    p.setPen(QPen(QColor(255, 0, 62), w / 14.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(w * 0.18, h * 0.84), QPointF(w * 0.82, h * 0.16));
}

} // namespace

int PaintFirmwareUpdateImages(const QString &root)
{
    int failures = 0;
    failures += !SavePainted(root, QStringLiteral("resources/FirmwareUpdate/icons8_sugar_cube_200px.png"), 200, 200, cube);
    failures += !SavePainted(root, QStringLiteral("resources/FirmwareUpdate/icons8_usb_off_200px.png"), 200, 200, usbOff);
    return failures;
}
