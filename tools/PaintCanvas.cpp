#include "tools/PaintCanvas.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

QImage PaintCanvas(int w, int h, const CanvasPainter &paint)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p, w, h);
    return img;
}

bool SavePng(const QImage &image, const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    return image.save(path, "PNG");
}

bool SavePainted(const QString &root, const QString &relative, int w, int h, const CanvasPainter &paint)
{
    return SavePng(PaintCanvas(w, h, paint), root + QLatin1Char('/') + relative);
}
