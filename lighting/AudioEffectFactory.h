#pragma once
#include <QtGlobal>

class QAudioEffctBass;
class QObject;

// The audio effect of a type code (168 to 173, 428), paused and without its layout; null for
// any other code (audio lighting off). The caller owns it.
QAudioEffctBass *CreateAudioEffect(ushort type, QObject *parent = nullptr);
