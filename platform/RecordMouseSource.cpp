#include "platform/RecordMouseSource.h"
#include "platform/GlobalInputCapture.h"
#include "platform/GlobalMouseWatcher.h"

#include <QApplication>

RecordMouseSource::RecordMouseSource() = default;

RecordMouseSource::~RecordMouseSource()
{
    Stop();
}

void RecordMouseSource::Start(GlobalMouseWatcher &watcher)
{
    m_watcher = &watcher;
    m_application.Start(watcher);
    if (m_capture || m_unavailable)
        return;
    GlobalInputCapture *capture = GlobalInputCapture::Instance();
    if (!capture->StartPointer()) {
        m_unavailable = true;
        return;
    }
    m_capture = capture;
    connect(capture, &GlobalInputCapture::pointerInput, this, &RecordMouseSource::onPointerInput);
}

void RecordMouseSource::Stop()
{
    m_application.Stop();
    m_watcher = nullptr;
    if (!m_capture)
        return;
    disconnect(m_capture, &GlobalInputCapture::pointerInput, this, &RecordMouseSource::onPointerInput);
    m_capture->StopPointer();
    m_capture = nullptr;
}

void RecordMouseSource::onPointerInput(uint message, uint, uint, const QPoint &globalPos)
{
    Qt::MouseButton button = Qt::NoButton;
    switch (message) {
    case 513: button = Qt::LeftButton; break;
    case 516: button = Qt::RightButton; break;
    case 519: button = Qt::MiddleButton; break;
    default: return;
    }
    // Presses on the program's own windows come through the application filter, in Qt's order.
    if (!m_watcher || QApplication::topLevelAt(globalPos))
        return;
    m_watcher->DeliverPress(globalPos, button);
}
