#include "mouse/QItemInputWin.h"
#include "widgets/AppFont.h"

#include <QKeyEvent>

QItemInputWin::QItemInputWin(QWidget *parent) : QLineEdit(parent)
{
    setStyleSheet(QStringLiteral("background-color: #305284;border:none;color:#aaaaaaaf;  border-radius:5px; "));
    ApplyAppFont(this, 15);
}

void QItemInputWin::keyPressEvent(QKeyEvent *event)
{
    QLineEdit::keyPressEvent(event);
    if (event->key() == Qt::Key_Escape) {
        clear();
        Q_EMIT returnPressed();
    }
}

void QItemInputWin::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    clear();
    Q_EMIT returnPressed();
}
