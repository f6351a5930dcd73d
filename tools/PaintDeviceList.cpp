#include "tools/PaintDeviceList.h"
#include "tools/PaintCanvas.h"

#include <QPainter>
#include <QPainterPath>

namespace {

void lightningBolt(QPainter &p, int w, int h)
{
    QPainterPath bolt;
    bolt.moveTo(w * 0.60, h * 0.04);
    bolt.lineTo(w * 0.18, h * 0.56);
    bolt.lineTo(w * 0.46, h * 0.56);
    bolt.lineTo(w * 0.36, h * 0.96);
    bolt.lineTo(w * 0.82, h * 0.42);
    bolt.lineTo(w * 0.54, h * 0.42);
    bolt.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 10));
    p.drawPath(bolt);
}

void usbPlug(QPainter &p, int w, int h)
{
    const QColor grey(190, 190, 190);
    QPen pen(grey, w / 12.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    // the trident of the USB mark
    p.drawLine(QPointF(w * 0.5, h * 0.14), QPointF(w * 0.5, h * 0.8));
    p.drawLine(QPointF(w * 0.5, h * 0.62), QPointF(w * 0.26, h * 0.44));
    p.drawLine(QPointF(w * 0.26, h * 0.44), QPointF(w * 0.26, h * 0.34));
    p.drawLine(QPointF(w * 0.5, h * 0.52), QPointF(w * 0.74, h * 0.36));
    p.setBrush(grey);
    p.drawEllipse(QPointF(w * 0.5, h * 0.84), w * 0.08, w * 0.08);
    p.drawRect(QRectF(w * 0.68, h * 0.24, w * 0.12, w * 0.12));
    QPolygonF head;
    head << QPointF(w * 0.5, h * 0.06) << QPointF(w * 0.42, h * 0.2) << QPointF(w * 0.58, h * 0.2);
    p.drawPolygon(head);
}

void wifiWaves(QPainter &p, int w, int h)
{
    const QColor grey(190, 190, 190);
    p.setPen(QPen(grey, w / 11.0, Qt::SolidLine, Qt::RoundCap));
    const QPointF centre(w * 0.5, h * 0.82);
    for (int i = 1; i <= 3; ++i) {
        const double r = w * 0.22 * i;
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(grey);
    p.drawEllipse(centre, w * 0.07, w * 0.07);
}

void brandNew(QPainter &p, int w, int h)
{
    // a round badge with an upward arrow: newer firmware is offered
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(48, 213, 0));
    p.drawEllipse(QRectF(w * 0.06, h * 0.06, w * 0.88, h * 0.88));
    p.setPen(QPen(Qt::white, w / 9.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(w * 0.5, h * 0.72), QPointF(w * 0.5, h * 0.3));
    p.drawLine(QPointF(w * 0.32, h * 0.46), QPointF(w * 0.5, h * 0.28));
    p.drawLine(QPointF(w * 0.68, h * 0.46), QPointF(w * 0.5, h * 0.28));
}

} // namespace

int PaintDeviceListImages(const QString &root)
{
    int failures = 0;
    failures += !SavePainted(root, QStringLiteral("resources/DeviceList/icons8_lightning_bolt_15px.png"), 15, 15, lightningBolt);
    failures += !SavePainted(root, QStringLiteral("resources/DeviceList/icons8_usb_on_25px.png"), 25, 25, usbPlug);
    failures += !SavePainted(root, QStringLiteral("resources/DeviceList/icons8_wifi_25px_1.png"), 25, 25, wifiWaves);
    failures += !SavePainted(root, QStringLiteral("resources/DeviceList/icons8_brand_new_20px.png"), 20, 20, brandNew);
    return failures;
}
