#include "mouse/CurrentDeviceDpiStep.h"
#include "device/DeviceRecord.h"
#include "device/HID_API.h"
#include "device/MouseConfigRecord.h"

int CurrentDeviceDpiStep()
{
    HID_API *api = HID_API::instance();
    DeviceRecord *device = api ? api->CurrentDevice() : nullptr;
    if (!device || device->deviceType != 1)
        return -1;
    const std::shared_ptr<MouseConfigRecord> record = std::atomic_load(&device->mouseData);
    if (!record)
        return -1;
    return record->sensorCode == 24 ? 100 : 50;
}
