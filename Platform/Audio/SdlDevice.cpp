// SDL2 audio output.
#include "Platform/Audio/SdlDevice.h"

#include "Platform/Audio/Mixer.h"

#include <SDL.h>

namespace audio
{
SdlDevice::~SdlDevice() { Close(); }

bool SdlDevice::Open(Mixer& mixer, std::string& error)
{
    Close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        error = SDL_GetError();
        return false;
    }
    mSubsystem = true;
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(kOutputRate);
    want.format = AUDIO_S16SYS;
    want.channels = static_cast<u8>(kOutputChannels);
    want.samples = 1024;
    want.callback = &SdlDevice::Callback;
    want.userdata = this;
    mMixer = &mixer;
    // No changes allowed: SDL converts whatever the hardware wants.
    mDevice = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (mDevice == 0)
    {
        error = SDL_GetError();
        Close();
        return false;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    mDriver = driver ? driver : "";
    SDL_PauseAudioDevice(mDevice, 0);
    return true;
}

void SdlDevice::Close()
{
    if (mDevice)
    {
        SDL_CloseAudioDevice(mDevice);
        mDevice = 0;
    }
    if (mSubsystem)
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        mSubsystem = false;
    }
    mMixer = nullptr;
}

void SdlDevice::SetPaused(bool paused)
{
    if (mDevice)
        SDL_PauseAudioDevice(mDevice, paused ? 1 : 0);
}

void SdlDevice::Callback(void* user, u8* stream, int length)
{
    auto* self = static_cast<SdlDevice*>(user);
    self->mMixer->RenderS16(reinterpret_cast<i16*>(stream), static_cast<u32>(length) / 4);
}
} // namespace audio
