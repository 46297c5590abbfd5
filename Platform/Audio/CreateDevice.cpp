// The process's audio output: SDL, or the null device when the program runs headless.
#include "Platform/Audio/Device.h"

#include "Platform/Audio/NullDevice.h"
#include "Platform/Audio/SdlDevice.h"
#include "Platform/Base/Headless.h"

namespace audio
{
namespace
{
DeviceFactory gFactory = nullptr;
} // namespace

std::unique_ptr<Device> CreateDevice()
{
    if (gFactory)
        return gFactory();
    if (os::IsHeadless())
        return std::make_unique<NullDevice>();
    return std::make_unique<SdlDevice>();
}

void SetDeviceFactory(DeviceFactory factory) { gFactory = factory; }
} // namespace audio
