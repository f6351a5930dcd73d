#include "tools/PaintConfigList.h"
#include "tools/PaintCanvas.h"

#include <QPainter>

namespace {
// A page with a folded corner and three text lines: a user configuration file.
void configFile(QPainter &p, int w, int h)
{
    QPen pen(QColor(90, 200, 140), w / 14.0);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    const double l = w * 0.18, r = w * 0.82, t = h * 0.08, b = h * 0.92, fold = w * 0.22;
    QPolygonF page;
    page << QPointF(l, t) << QPointF(r - fold, t) << QPointF(r, t + fold) << QPointF(r, b) << QPointF(l, b);
    p.drawPolygon(page);
    p.drawPolyline(QPolygonF() << QPointF(r - fold, t) << QPointF(r - fold, t + fold) << QPointF(r, t + fold));
    for (int i = 0; i < 3; ++i) {
        const double y = h * (0.48 + 0.14 * i);
        p.drawLine(QPointF(w * 0.32, y), QPointF(w * (i == 2 ? 0.55 : 0.68), y));
    }
}
} // namespace

int PaintConfigListImages(const QString &root)
{
    return !SavePainted(root, QStringLiteral("resources/ConfigList/ConfihFile_25px.png"), 25, 25, configFile);
}
