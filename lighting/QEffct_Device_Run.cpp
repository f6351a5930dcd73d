#include "lighting/QEffct_Device_Run.h"

void QEffct_Device_Run::NextFrame()
{
    Q_EMIT ClearDisp();
}
