#pragma once
// Worker of the mouse kinds 4 and 5: reads the settings through an outside device object into
// the device's MouseConfigRecord. It neither listens nor writes settings.
#include "device/QHid_Work_Interface.h"

class OutsideMouseDevice;

class ZR_DLL_MouseThread : public QHid_Work_Interface
{
    Q_OBJECT
public:
    explicit ZR_DLL_MouseThread(QObject *parent = nullptr);

    // Not owned; null (nothing is read) until the outside component supplies one.
    void SetOutsideDevice(OutsideMouseDevice *object) { m_Object = object; }
    OutsideMouseDevice *OutsideDevice() const { return m_Object; }

    void SynchronizingDeviceData() override;

private:
    OutsideMouseDevice *m_Object = nullptr;
};
