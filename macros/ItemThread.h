#pragma once
#include <QObject>
#include <QPoint>
#include <QVector>

class QEditMacroItemBase;

// The drop-position hit test of a row drag: which gap between rows the cursor points at. It runs
// on the GUI thread, where the rows live, so no row can go away while it reads them.
class ItemThread : public QObject
{
    Q_OBJECT
public:
    ItemThread(const QVector<QEditMacroItemBase *> *rows, QObject *parent);
    void SetPoint(int x, int y) { m_point = QPoint(x, y); }
    // Reports the insert position for the point: index i before row i, n after the last row.
    void run();

Q_SIGNALS:
    void DispInsetRect(const QPoint &pos);
    void HideRect();
    void InsetIndex(int index);

private:
    const QVector<QEditMacroItemBase *> *m_rows;
    QPoint m_point;
};
