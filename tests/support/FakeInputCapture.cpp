#include "tests/support/FakeInputCapture.h"

FakeInputCapture *FakeInputCapture::Install(bool available)
{
    auto fake = std::make_unique<FakeInputCapture>();
    fake->m_available = available;
    FakeInputCapture *raw = fake.get();
    GlobalInputCapture::SetInstance(std::move(fake));
    return raw;
}

void FakeInputCapture::Key(bool down, uint keyCode, uint timeMs, bool extended)
{
    if (m_keys)
        Q_EMIT keyInput(down, keyCode, extended, timeMs);
}

void FakeInputCapture::Button(uint message, uint timeMs, uint mouseData, const QPoint &pos)
{
    if (m_pointer)
        Q_EMIT pointerInput(message, mouseData, timeMs, pos);
}

bool FakeInputCapture::EnableKeyboard(bool on)
{
    if (on && !m_available) {
        SetError(QStringLiteral("no capture in this test"));
        return false;
    }
    m_keys = on;
    return true;
}

bool FakeInputCapture::EnablePointer(bool on)
{
    if (on && !m_available) {
        SetError(QStringLiteral("no capture in this test"));
        return false;
    }
    m_pointer = on;
    return true;
}
