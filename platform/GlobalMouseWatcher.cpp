#include "platform/GlobalMouseWatcher.h"
#include "platform/GlobalMouseSource.h"
#include "platform/RecordMouseSource.h"

#include <vector>

GlobalMouseWatcher &GlobalMouseWatcher::instance()
{
    static GlobalMouseWatcher watcher;
    return watcher;
}

GlobalMouseWatcher::GlobalMouseWatcher() : m_source(std::make_unique<RecordMouseSource>()) {}

GlobalMouseWatcher::~GlobalMouseWatcher()
{
    if (m_running && m_source)
        m_source->Stop();
}

int GlobalMouseWatcher::AddPressHandler(PressHandler handler)
{
    const int handle = m_nextHandle++;
    m_handlers.emplace(handle, std::move(handler));
    if (!m_running && m_source) {
        m_running = true;
        m_source->Start(*this);
    }
    return handle;
}

void GlobalMouseWatcher::RemovePressHandler(int handle)
{
    m_handlers.erase(handle);
    if (m_handlers.empty() && m_running) {
        m_running = false;
        if (m_source)
            m_source->Stop();
    }
}

bool GlobalMouseWatcher::DeliverPress(const QPoint &globalPos, Qt::MouseButton button)
{
    if (button != Qt::LeftButton && button != Qt::RightButton && button != Qt::MiddleButton)
        return false;
    // A handler may remove itself (or others) while it runs: work on a snapshot of the handles.
    std::vector<int> handles;
    handles.reserve(m_handlers.size());
    for (const auto &h : m_handlers)
        handles.push_back(h.first);
    bool swallow = false;
    for (int handle : handles) {
        auto it = m_handlers.find(handle);
        if (it == m_handlers.end())
            continue;
        const PressHandler handler = it->second;
        if (handler(globalPos, button))
            swallow = true;
    }
    return swallow;
}

void GlobalMouseWatcher::SetSource(std::unique_ptr<GlobalMouseSource> source)
{
    if (m_running && m_source)
        m_source->Stop();
    m_source = std::move(source);
    m_running = false;
    if (!m_handlers.empty() && m_source) {
        m_running = true;
        m_source->Start(*this);
    }
}
