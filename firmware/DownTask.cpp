#include "firmware/DownTask.h"

DownTask *NewDownTask(const void *owner)
{
    auto *task = new DownTask;
    task->check = DownTaskAlive;
    task->owner = owner;
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
        tasks[i] = nullptr;
    }
}
