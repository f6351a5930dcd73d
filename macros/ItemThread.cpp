#include "macros/ItemThread.h"
#include "macros/QEditMacroItemBase.h"

ItemThread::ItemThread(const QVector<QEditMacroItemBase *> *rows, QObject *parent) : QObject(parent), m_rows(rows) {}

void ItemThread::run()
{
    const int n = m_rows->size();
    for (int i = 0; i < n; ++i) {
        const QRect r = m_rows->at(i)->geometry();
        const QRect area = r.adjusted(-20, 0, 0, 0);
        if (area.contains(m_point)) {
            Q_EMIT DispInsetRect(QPoint(r.x() - 33, r.y() + 5));
            Q_EMIT InsetIndex(i);
            return;
        }
        if (i == n - 1 && QRect(r.right() + 1, r.y(), area.width(), r.height()).contains(m_point)) {
            Q_EMIT DispInsetRect(QPoint(r.right() + 5, r.y() + 5));
            Q_EMIT InsetIndex(n);
            return;
        }
    }
    Q_EMIT InsetIndex(-1);
    Q_EMIT HideRect();
}
