#include "app/BackdropShadow.h"

#include <QGraphicsDropShadowEffect>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>

BackdropShadow::BackdropShadow(const QPoint &offset, const QColor &colour, qreal blurRadius)
    : m_offset(offset), m_colour(colour), m_blur(blurRadius)
{
}

int BackdropShadow::margin() const
{
    return static_cast<int>(std::ceil(m_blur)) + std::max(std::abs(m_offset.x()), std::abs(m_offset.y()));
}

void BackdropShadow::Paint(QPainter &painter, QWidget *backdrop)
{
    if (!backdrop || backdrop->isHidden() || backdrop->size().isEmpty())
        return;
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    if (m_pixmap.isNull() || m_for != backdrop->geometry() || !qFuzzyCompare(m_pixmap.devicePixelRatioF(), dpr))
        render(backdrop, dpr);
    painter.drawPixmap(m_for.topLeft() - QPoint(margin(), margin()), m_pixmap);
}

void BackdropShadow::render(QWidget *backdrop, qreal dpr)
{
    m_for = backdrop->geometry();
    // The backdrop with what it holds casts the shadow; only its alpha counts.
    QImage shape(backdrop->size() * dpr, QImage::Format_ARGB32_Premultiplied);
    shape.setDevicePixelRatio(dpr);
    shape.fill(Qt::transparent);
    backdrop->render(&shape, QPoint(), QRegion(), QWidget::DrawChildren);

    // The same drop-shadow filter Qt's effect would run, run once through a scene.
    QGraphicsScene scene;
    QGraphicsPixmapItem *item = scene.addPixmap(QPixmap::fromImage(shape));
    auto *effect = new QGraphicsDropShadowEffect;
    effect->setOffset(m_offset);
    effect->setColor(m_colour);
    effect->setBlurRadius(m_blur);
    item->setGraphicsEffect(effect); // the item owns it

    const int m = margin();
    const QSize logical = backdrop->size() + QSize(2 * m, 2 * m);
    QImage out(logical * dpr, QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(dpr);
    out.fill(Qt::transparent);
    {
        QPainter p(&out);
        scene.render(&p, QRectF(QPointF(0, 0), logical), QRectF(QPointF(-m, -m), logical));
    }
    // The filter draws the shape over its shadow; the backdrop paints the shape itself, so the
    // shape is taken out again: where the shape covers a pixel by alpha s, the result's alpha r
    // is s + a (1 - s), which gives back the shadow's own alpha a.
    const int shift = qRound(m * dpr);
    // (fractional scales may round the two images' sizes apart by a pixel)
    const int rows = std::min(shape.height(), out.height() - shift);
    const int columns = std::min(shape.width(), out.width() - shift);
    for (int y = 0; y < rows; ++y) {
        const QRgb *src = reinterpret_cast<const QRgb *>(shape.constScanLine(y));
        QRgb *dst = reinterpret_cast<QRgb *>(out.scanLine(y + shift)) + shift;
        for (int x = 0; x < columns; ++x) {
            const int s = qAlpha(src[x]);
            if (s == 0)
                continue;
            const int a = s == 255 ? 255 : qBound(0, ((qAlpha(dst[x]) - s) * 255 + (255 - s) / 2) / (255 - s), 255);
            dst[x] = qPremultiply(qRgba(m_colour.red(), m_colour.green(), m_colour.blue(), a * m_colour.alpha() / 255));
        }
    }
    m_pixmap = QPixmap::fromImage(std::move(out));
}
