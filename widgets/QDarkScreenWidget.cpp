#include "widgets/QDarkScreenWidget.h"

#include <QPainter>
#include <QPointer>

namespace {
// Weak: the cover goes with its parent, and the pointer must not outlive it.
QPointer<QDarkScreenWidget> &cover()
{
    static QPointer<QDarkScreenWidget> instance;
    return instance;
}
} // namespace

QDarkScreenWidget::QDarkScreenWidget(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    hide();
    if (parent)
        setGeometry(0, 0, parent->width(), parent->height());
}

void QDarkScreenWidget::Disp(QWidget *Parent)
{
    if (!cover()) {
        if (!Parent)
            return;
        cover() = new QDarkScreenWidget(Parent);
    }
    cover()->raise();
    cover()->show();
    cover()->update();
}

void QDarkScreenWidget::UnDisp()
{
    if (!cover())
        return;
    QDarkScreenWidget *w = cover();
    cover().clear();
    w->hide();
    w->close();
}

QDarkScreenWidget *QDarkScreenWidget::Current()
{
    return cover();
}

void QDarkScreenWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 1, 2, 200));
}
