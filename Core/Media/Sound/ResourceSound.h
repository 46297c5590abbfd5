// A sound sample shared by name: the file is decoded whole into the audio layer.
#pragma once

#include "Core/Media/Sound/AudioIds.h"
#include "Core/Resource/Resource.h"

#include <string>

namespace base
{
class Stream;
}

namespace resource
{
class ResourceSound : public Resource
{
public:
    // The name as given, then name + ".ogg", then name + ".wav", through the file manager.
    QLResultEnum DoLoad() override;
    QLResultEnum DoUnLoad() override;
    void Destroy() override;

    // Reads the whole stream and hands it to the audio layer; 1 on a short read or a file the
    // audio layer cannot decode (logged).
    QLResultEnum LoadFromStream(base::Stream& stream, const std::wstring& pathForLog);

    audio::SampleId GetSample() const { return mSample; }

private:
    audio::SampleId mSample = 0;
};
} // namespace resource
