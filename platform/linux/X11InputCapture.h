#pragma once
#include "platform/GlobalInputCapture.h"

#include <QByteArray>

class QSocketNotifier;

// The system-wide capture on an X server: the RECORD extension reports every client's key and
// button events, read on the GUI thread through a socket notifier. It cannot swallow events.
class X11InputCapture : public GlobalInputCapture
{
    Q_OBJECT
public:
    // display: the X display name; empty for $DISPLAY.
    explicit X11InputCapture(const QByteArray &display = QByteArray());
    ~X11InputCapture() override;

    // One RECORD event (the raw 32-byte core event); public for the reply callback.
    void HandleEvent(const unsigned char *event, bool swapped);

protected:
    bool EnableKeyboard(bool on) override;
    bool EnablePointer(bool on) override;

private:
    bool Open();
    void Close();
    void ReadReplies();
    void FlushPendingRelease();

    QByteArray m_display;
    void *m_control = nullptr; // Display*
    void *m_data = nullptr;    // Display*
    unsigned long m_context = 0;
    QSocketNotifier *m_notifier = nullptr;
    bool m_keys = false;
    bool m_pointer = false;
    // A key release held back until the next event shows whether it was an auto-repeat.
    bool m_pendingRelease = false;
    uint m_pendingCode = 0;
    uint m_pendingTime = 0;
};
