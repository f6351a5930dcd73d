#pragma once
// The "MouseParamConfig.ini" of a mouse: the main window's for its current product; without a
// main window (a worker driven on its own) the file of the device's catalogue product. Null
// when none can be opened; the caller deletes it.
class QSettings;
struct DeviceRecord;
QSettings *OpenMouseParamFile(DeviceRecord *device);
