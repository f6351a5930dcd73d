#include "lighting/AudioMonitor.h"

AudioMonitor *AudioMonitor::s_instance = nullptr;

AudioMonitor::AudioMonitor(QObject *parent) : QObject(parent)
{
    s_instance = this;
}

AudioMonitor::~AudioMonitor()
{
    if (s_instance == this)
        s_instance = nullptr;
}

AudioMonitor *AudioMonitor::instance()
{
    return s_instance;
}

void AudioMonitor::on_StartGrabEffct()
{
    ++m_starts;
}

void AudioMonitor::on_StopGrabEffct()
{
    ++m_stops;
}

void AudioMonitor::SetSoftDisplay(bool on)
{
    m_softDisplay = on;
}
