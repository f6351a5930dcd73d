#pragma once
// A system-wide input capture that the test drives: it delivers exactly the events pushed into
// it, with the times given, while the program holds the capture.
#include "platform/GlobalInputCapture.h"

class FakeInputCapture : public GlobalInputCapture
{
    Q_OBJECT
public:
    // Installs a new fake as the program's capture and returns it.
    FakeInputCapture() = default;
    static FakeInputCapture *Install(bool available = true);

    void Key(bool down, uint keyCode, uint timeMs, bool extended = false);
    void Button(uint message, uint timeMs, uint mouseData = 0, const QPoint &pos = QPoint());
    bool KeysOn() const { return m_keys; }
    bool PointerOn() const { return m_pointer; }

protected:
    bool EnableKeyboard(bool on) override;
    bool EnablePointer(bool on) override;

private:
    bool m_available = true;
    bool m_keys = false;
    bool m_pointer = false;
};
