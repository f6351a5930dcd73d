#include "lighting/AudioEffectFactory.h"

#include "lighting/QAudioEffctBass.h"

QAudioEffctBass *CreateAudioEffect(ushort type, QObject *parent)
{
    switch (type) {
    default:
        return nullptr;
    }
}
