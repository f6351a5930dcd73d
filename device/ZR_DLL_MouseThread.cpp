#include "device/ZR_DLL_MouseThread.h"
#include "app/DelayMs.h"
#include "app/MainWidget.h"
#include "device/DeviceRecord.h"
#include "device/MouseConfigRecord.h"
#include "device/OutsideMouseDevice.h"

#include <algorithm>
#include <memory>

ZR_DLL_MouseThread::ZR_DLL_MouseThread(QObject *parent) : QHid_Work_Interface(parent) {}

void ZR_DLL_MouseThread::SynchronizingDeviceData()
{
    DeviceRecord *d = m_Device;
    if (m_Object && d) {
        auto record = std::make_shared<MouseConfigRecord>();
        QByteArray version;
        m_Object->Version(version);
        if (version == QByteArrayLiteral("00.00.00.00")) {
            std::atomic_store(&d->mouseData, std::shared_ptr<MouseConfigRecord>());
        } else {
            DelayMs(100);
            record->sensorCode = 0xFF;
            m_Object->DpiList(record->dpiValues);
            record->currentDpi = m_Object->CurrentDpi();
            record->stageCount = static_cast<uint8_t>(std::min(record->dpiValues.size(), 255));
            // Each call starts from -1, so a parameter the device leaves unanswered reads as
            // absent (0xFFFF) instead of taking the previous parameter's value.
            for (int index = 1; index <= 9; ++index) {
                int a = -1, b = -1, c = -1, e = -1;
                m_Object->Parameter(index, a, b, c, e);
                const uint16_t v = static_cast<uint16_t>(a);
                switch (index) {
                case 1: record->sleep = static_cast<uint32_t>(a); break;
                case 2: record->reportRate = v; break;
                case 3: record->motionSync = v; break;
                case 4: record->angleSnapping = v; break;
                case 5: record->debounce = v; break;
                case 6: record->rippleControl = v; break;
                case 7: record->liftOff = v; break;
                case 8:
                    record->lightEffect = v;
                    record->lightParam1 = static_cast<uint8_t>(b);
                    record->lightParam2 = static_cast<uint8_t>(c);
                    break;
                case 9: // a percentage: no answer (-1) or a wild value never reads as 255 %
                    record->batteryLevel = static_cast<uint8_t>(std::clamp(a, 0, 100));
                    break;
                }
            }
            std::atomic_store(&d->mouseData, record);
        }
    }
    if (MainWidget *main = MainWidget::instance())
        main->EndSyncWait();
}
