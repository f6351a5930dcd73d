#include "firmware/CmdDispatch.h"

#include "firmware/CmdThread.h"

#include <QMutexLocker>

CmdDispatch::CmdDispatch(hid_device *dev) : QObject(nullptr), m_worker(new CmdThread(dev, this)), m_device(dev) {}

CmdDispatch::~CmdDispatch() = default;

int CmdDispatch::queued() const
{
    QMutexLocker locker(&m_lock);
    return m_queue.size();
}

void CmdDispatch::set_cmd(Cmd cmd)
{
    if (m_worker)
        m_worker->set_cmd(cmd);
}

void CmdDispatch::Command_In(const Cmd &cmd)
{
    QMutexLocker locker(&m_lock);
    if (m_queue.size() > MaxQueued)
        m_queue.removeFirst();
    m_queue.append(cmd);
}

Cmd CmdDispatch::fetch_last_one()
{
    QMutexLocker locker(&m_lock);
    if (m_queue.isEmpty())
        return Cmd();
    Cmd last = m_queue.last();
    m_queue.clear();
    return last;
}

Cmd CmdDispatch::fetch_one()
{
    QMutexLocker locker(&m_lock);
    if (m_queue.isEmpty())
        return Cmd();
    return m_queue.takeFirst();
}

void CmdDispatch::clear_queue()
{
    QMutexLocker locker(&m_lock);
    m_queue.clear();
}
