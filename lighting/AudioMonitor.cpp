#include "lighting/AudioMonitor.h"

AudioMonitor *AudioMonitor::instance()
{
    static AudioMonitor *self = new AudioMonitor;
    return self;
}

void AudioMonitor::on_StopGrabEffct()
{
    ++m_stops;
}
