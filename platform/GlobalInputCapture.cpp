#include "platform/GlobalInputCapture.h"
#include "app/LogWriter.h"

namespace {

// Used where the build has no backend: every start fails and says so.
class NoInputCapture : public GlobalInputCapture
{
protected:
    bool EnableKeyboard(bool on) override { return Refuse(on); }
    bool EnablePointer(bool on) override { return Refuse(on); }

private:
    bool Refuse(bool on)
    {
        if (on)
            SetError(QStringLiteral("this build has no system-wide input capture"));
        return !on;
    }
};

GlobalInputCapture::Factory &FactorySlot()
{
    static GlobalInputCapture::Factory factory;
    return factory;
}

std::unique_ptr<GlobalInputCapture> &InstanceSlot()
{
    static std::unique_ptr<GlobalInputCapture> instance;
    return instance;
}

} // namespace

GlobalInputCapture::GlobalInputCapture(QObject *parent) : QObject(parent) {}

GlobalInputCapture *GlobalInputCapture::Instance()
{
    std::unique_ptr<GlobalInputCapture> &slot = InstanceSlot();
    if (!slot) {
        if (FactorySlot())
            slot = FactorySlot()();
        if (!slot)
            slot = std::make_unique<NoInputCapture>();
    }
    return slot.get();
}

bool GlobalInputCapture::SetFactory(Factory factory)
{
    FactorySlot() = std::move(factory);
    return true;
}

void GlobalInputCapture::SetInstance(std::unique_ptr<GlobalInputCapture> capture)
{
    InstanceSlot() = std::move(capture);
}

bool GlobalInputCapture::StartKeyboard()
{
    if (m_keyboardUsers == 0 && !EnableKeyboard(true)) {
        WriteLogLine(QStringLiteral("system-wide key capture unavailable: %1").arg(m_error));
        return false;
    }
    ++m_keyboardUsers;
    return true;
}

void GlobalInputCapture::StopKeyboard()
{
    if (m_keyboardUsers > 0 && --m_keyboardUsers == 0)
        EnableKeyboard(false);
}

bool GlobalInputCapture::StartPointer()
{
    if (m_pointerUsers == 0 && !EnablePointer(true)) {
        WriteLogLine(QStringLiteral("system-wide button capture unavailable: %1").arg(m_error));
        return false;
    }
    ++m_pointerUsers;
    return true;
}

void GlobalInputCapture::StopPointer()
{
    if (m_pointerUsers > 0 && --m_pointerUsers == 0)
        EnablePointer(false);
}
