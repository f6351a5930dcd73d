#pragma once
#include <QColor>
#include <QPixmap>
#include <QPoint>
#include <QRect>

class QPainter;
class QWidget;

// The drop shadow around the main window's rounded backdrop, rendered once per backdrop size
// into a pixmap and painted by the window beneath the backdrop. A graphics effect on the
// backdrop would blur the whole window again whenever any child repaints.
class BackdropShadow
{
public:
    BackdropShadow(const QPoint &offset, const QColor &colour, qreal blurRadius);

    // Paints the shadow of `backdrop` (a child of the painter's widget) through the painter's
    // clip; re-renders the cached shadow first when the backdrop's size or position changed.
    void Paint(QPainter &painter, QWidget *backdrop);

private:
    int margin() const;
    void render(QWidget *backdrop, qreal dpr);

    QPoint m_offset;
    QColor m_colour;
    qreal m_blur = 0;
    QPixmap m_pixmap;
    QRect m_for; // the backdrop geometry the cache was rendered for
};
