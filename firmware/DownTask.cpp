#include "firmware/DownTask.h"

#include <atomic>

namespace {
std::atomic<int> s_alive{0};
}

DownTask *NewDownTask(const void *owner)
{
    auto *task = new DownTask;
    task->check = DownTaskAlive;
    task->owner = owner;
    ++s_alive;
    return task;
}

void DeleteDownTasks(DownTask **tasks, int count)
{
    if (!tasks || count < 1)
        return;
    for (int i = 0; i < count; ++i) {
        if (!tasks[i])
            continue;
        tasks[i]->check = 0;
        delete tasks[i];
        --s_alive;
        tasks[i] = nullptr;
    }
}

int DownTasksAlive()
{
    return s_alive;
}
