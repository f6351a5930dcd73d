#pragma once
#include <QImage>
#include <QString>
#include <functional>

class QPainter;

// Draws on a transparent, antialiased w x h canvas.
using CanvasPainter = std::function<void(QPainter &, int w, int h)>;
QImage PaintCanvas(int w, int h, const CanvasPainter &paint);

// Writes a PNG below the source root, making its folders; false when that failed.
bool SavePng(const QImage &image, const QString &path);
bool SavePainted(const QString &root, const QString &relative, int w, int h, const CanvasPainter &paint);
