#pragma once
#include <QString>

namespace platform {
// True when the processor is an AMD one: the vendor or model name of /proc/cpuinfo, upper-cased,
// contains "AMD". Read once per process; the audio capture and the keyboard worker share it.
bool IsAmdProcessor();
// The processor text that decided it (vendor and model lines), read once.
QString ProcessorNames();
} // namespace platform
