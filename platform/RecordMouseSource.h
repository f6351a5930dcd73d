#pragma once
#include "platform/ApplicationMouseSource.h"
#include "platform/GlobalMouseSource.h"

#include <QObject>
#include <QPointer>

class GlobalInputCapture;

// Presses anywhere on the desktop: on the program's own windows through the application's
// event filter, on other programs' windows through the system-wide capture where one runs.
// Without a capture the application source alone remains, which reports the program losing
// activation as a press outside.
class RecordMouseSource : public QObject, public GlobalMouseSource
{
    Q_OBJECT
public:
    RecordMouseSource();
    ~RecordMouseSource() override;

    void Start(GlobalMouseWatcher &watcher) override;
    void Stop() override;

private:
    void onPointerInput(uint message, uint mouseData, uint timeMs, const QPoint &globalPos);

    ApplicationMouseSource m_application;
    GlobalMouseWatcher *m_watcher = nullptr;
    // The capture held; null once the capture is gone (at program exit).
    QPointer<GlobalInputCapture> m_capture;
    // A capture that failed once is not asked again: one log line, not one per drop-down.
    bool m_unavailable = false;
};
