#pragma once

class GlobalMouseWatcher;

// Where mouse-button presses anywhere on the desktop come from. The watcher starts its source
// when the first press handler is added and stops it when the last one goes.
class GlobalMouseSource
{
public:
    virtual ~GlobalMouseSource() = default;
    // Begin feeding presses into the watcher's DeliverPress.
    virtual void Start(GlobalMouseWatcher &watcher) = 0;
    virtual void Stop() = 0;
};
