// Feeds arbitrary bytes to the whole PSD reader through an engine stream.
#include "Core/Base/Stream.h"
#include "Core/Psd/Document.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 0x7FFFFFFF)
        return 0;
    base::MemoryStream stream(data, static_cast<u32>(size));
    // The default limit keeps hostile sizes below the fuzzer's memory cap.
    psd::Document* document = nullptr;
    if (psd::LoadDocument(&document, stream) == psd::kOk)
        psd::FreeDocument(document);
    return 0;
}
