#pragma once
#include <QPoint>
#include <Qt>
#include <functional>
#include <map>
#include <memory>

class GlobalMouseSource;

// Tells interested widgets about every mouse-button press, wherever it lands, so a pop-up can
// fold when the user presses outside it. GUI thread only.
class GlobalMouseWatcher
{
public:
    // Returns true to swallow the press (it then never reaches its target).
    using PressHandler = std::function<bool(const QPoint &globalPos, Qt::MouseButton button)>;

    static GlobalMouseWatcher &instance();

    // Returns a handle for RemovePressHandler; never 0.
    int AddPressHandler(PressHandler handler);
    void RemovePressHandler(int handle);
    int HandlerCount() const { return int(m_handlers.size()); }

    // Fed by the source for each left, right or middle press; true when a handler swallowed it.
    bool DeliverPress(const QPoint &globalPos, Qt::MouseButton button);

    // Replaces the event source; the default sees presses on the program's own windows and,
    // where a system-wide capture runs, on other programs' windows.
    void SetSource(std::unique_ptr<GlobalMouseSource> source);

private:
    GlobalMouseWatcher();
    ~GlobalMouseWatcher();

    std::unique_ptr<GlobalMouseSource> m_source;
    std::map<int, PressHandler> m_handlers;
    int m_nextHandle = 1;
    bool m_running = false;
};
