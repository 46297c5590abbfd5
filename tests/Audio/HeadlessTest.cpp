// One switch makes the program headless: the video driver, the device its windows draw with and
// the audio output all follow it, a factory a test sets still wins, and SDL output without a
// usable driver is silence.
#include "Platform/Base/Headless.h"
#include "Os/ScopedEnv.h"
#include "Platform/Audio/AudioEngine.h"
#include "Platform/Audio/NullDevice.h"
#include "Platform/Audio/SdlDevice.h"
#include "Platform/Gpu/RecordingDevice.h"
#include "Platform/Os/Video.h"

#include <gtest/gtest.h>

namespace
{
struct HeadlessScope
{
    explicit HeadlessScope(bool headless)
    {
        os::SetHeadless(headless);
        os::SetVideoDriver(nullptr);
    }
    ~HeadlessScope()
    {
        os::SetHeadless(false);
        os::SetVideoDriver(nullptr);
        audio::SetDeviceFactory(nullptr);
    }
};

} // namespace

TEST(Headless, VideoGpuAndAudioAllFollowTheOneSwitch)
{
    {
        HeadlessScope off(false);
        EXPECT_STREQ(os::Video().Name(), "sdl");
        EXPECT_EQ(audio::CreateDevice()->Name().rfind("sdl", 0), 0u);
        // SDL output without a usable driver falls back to the silent null device.
        testos::ScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
        audio::AudioEngine engine(std::make_unique<audio::SdlDevice>());
        EXPECT_FALSE(engine.HasOutput());
        EXPECT_EQ(engine.GetDevice().Name(), "null");
    }
    HeadlessScope scope(true);
    EXPECT_STREQ(os::Video().Name(), "null");
    std::unique_ptr<os::Window> window = os::Video().CreateWindow();
    os::WindowDesc desc;
    desc.clientWidth = 320;
    desc.clientHeight = 200;
    ASSERT_EQ(window->Create(desc), QL_OK);
    std::unique_ptr<gpu::Device> device = window->CreateDevice();
    ASSERT_NE(device, nullptr);
    EXPECT_NE(dynamic_cast<gpu::RecordingDevice*>(device.get()), nullptr)
        << "the headless window draws into the recording device";
    EXPECT_EQ(audio::CreateDevice()->Name(), "null");

    audio::SetDeviceFactory([]() -> std::unique_ptr<audio::Device> { return audio::NullDevice::Manual(); });
    std::unique_ptr<audio::Device> manual = audio::CreateDevice();
    EXPECT_NE(dynamic_cast<audio::NullDevice*>(manual.get()), nullptr);
}
