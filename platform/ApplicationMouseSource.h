#pragma once
#include "platform/GlobalMouseSource.h"

#include <QObject>
#include <QPoint>

// The portable press source: an application event filter that sees presses on the program's
// own windows. Presses in other programs are invisible to it, so it reports the program losing
// activation as a press outside everything.
class ApplicationMouseSource : public QObject, public GlobalMouseSource
{
    Q_OBJECT
public:
    ApplicationMouseSource();
    ~ApplicationMouseSource() override;

    void Start(GlobalMouseWatcher &watcher) override;
    void Stop() override;

    // The position reported for presses that the program cannot see.
    static QPoint NowherePos() { return QPoint(-1000000, -1000000); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    GlobalMouseWatcher *m_watcher = nullptr;
    // One press propagates from child to parent; the filter sees every step of it.
    ulong m_lastStamp = 0;
    QPoint m_lastPos;
    int m_lastButton = 0;
    bool m_installed = false;
};
