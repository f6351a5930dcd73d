#pragma once
#include <QString>
#include <cstdint>

struct DeviceRecord;

// One download request. The requester allocates it (NewDownTask), the download manager fills in
// the file path and the status, hands it back with TaskEnd, and the requester frees it.
struct DownTask
{
    QString name;
    uint8_t type = 0;            // 0 page downloads; 10, 11, 12 firmware of the update manager
    QString url;
    QString folder;
    qint64 maxBytes = 0;         // a download growing past this fails; 0 no bound
    // Kept only when the server announced the body's length and sent all of it: what is written
    // to a device or started must be whole, and a chunked or close-ended body cannot be told
    // from one cut short.
    bool needsLength = false;
    QString filePath;            // set by the download manager
    uint8_t status = 0;          // 0 new, 2 received completely, 3 failed
    uint8_t ready = 0;
    DeviceRecord *device = nullptr;
    uint32_t check = 0;          // 0xABCD while the record is alive
    // Who made the record: one batch can hold records of several requesters, and each
    // receiver of TaskEnd handles and frees only its own.
    const void *owner = nullptr;
};

enum : uint8_t { DownTaskNew = 0, DownTaskDone = 2, DownTaskFailed = 3 };
constexpr uint32_t DownTaskAlive = 0xABCD;

// A new record: empty texts, type 0, status 0, not ready, no device, check word 0xABCD.
DownTask *NewDownTask(const void *owner = nullptr);

// Frees count records of the array and clears their slots; nothing for a count below 1.
void DeleteDownTasks(DownTask **tasks, int count);

// Records made by NewDownTask and not yet freed by DeleteDownTasks (a leak shows here).
int DownTasksAlive();
