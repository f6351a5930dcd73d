#pragma once
// Helpers of the HID transport tests: catalogue lines, records of plugged emulator devices.
#include "device/DeviceRecord.h"
#include "tests/emu/EmuControl.h"

#include <QList>
#include <QString>

// One "SubProduct" line of YProduct.xml.
QString HidProductLine(const QString &dir, int type, const QString &name, const QString &code, const QString &blue,
                       const QString &usb, const QString &core, bool zrRtu = true);
// Writes a catalogue of the given lines into the current program folder and clears the cache.
bool HidWriteCatalogue(const QString &programDir, const QStringList &lines);

// The records of one node among a scan's records.
QList<DeviceRecord *> HidRecordsOfNode(const QList<DeviceRecord *> &records, uint32_t node);
DeviceRecord *HidRecordOfKind(const QList<DeviceRecord *> &records, uint32_t node, int kind);
void HidCloseAll(QList<DeviceRecord *> &records);

// Fails the current test with the emulator's model errors, if any (and clears them).
bool HidNoModelErrors();
