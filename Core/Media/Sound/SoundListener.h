// Told when a registered sound is to be removed.
#pragma once

class Sound;

class SoundListener
{
public:
    virtual ~SoundListener() = default;
    virtual void RemoveSound(Sound* sound) = 0;
};
