#include "lighting/AudioEffectFactory.h"

#include "lighting/QAudio_Dance_Soft.h"
#include "lighting/QAudio_Dynamic_Spectrum.h"
#include "lighting/QAudion_Blooming_Passion.h"
#include "lighting/QAudion_Clouds_Rise_And_Snow_Fly.h"
#include "lighting/QAudion_Dazzling_Rock.h"
#include "lighting/QAudion_Light_Field_Change.h"
#include "lighting/QAudion_The_Gurgling_Stream.h"

QAudioEffctBass *CreateAudioEffect(ushort type, QObject *parent)
{
    switch (type) {
    case 168: return new QAudio_Dance_Soft(parent);
    case 169: return new QAudion_Dazzling_Rock(parent);
    case 170: return new QAudion_Clouds_Rise_And_Snow_Fly(parent);
    case 171: return new QAudion_Light_Field_Change(parent);
    case 172: return new QAudion_The_Gurgling_Stream(parent);
    case 173: return new QAudion_Blooming_Passion(parent);
    case 428: return new QAudio_Dynamic_Spectrum(parent);
    default: return nullptr;
    }
}
