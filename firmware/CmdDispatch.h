#pragma once
#include "firmware/Cmd.h"

#include <QList>
#include <QMutex>
#include <QObject>

typedef struct hid_device_ hid_device;
class CmdThread;

// Performs the commands of one engine on one device and keeps the replies of its reads, newest
// last; the engine takes the reply it wants with fetch_last_one.
class CmdDispatch : public QObject
{
    Q_OBJECT
public:
    // Replies kept before the oldest is dropped.
    static constexpr int MaxQueued = 1024;

    explicit CmdDispatch(hid_device *dev);
    ~CmdDispatch() override;

    hid_device *device() const { return m_device; }
    int queued() const;

public Q_SLOTS:
    void set_cmd(Cmd cmd);
    void Command_In(const Cmd &cmd);
    Cmd fetch_last_one();
    Cmd fetch_one();
    void clear_queue();

private:
    CmdThread *m_worker;
    hid_device *m_device;
    QList<Cmd> m_queue;
    mutable QMutex m_lock;
};
