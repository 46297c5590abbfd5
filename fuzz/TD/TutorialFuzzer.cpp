// The tutorial script reader must survive any text: broken steps are left out, never followed.
#include "Source/TD/Shell/TDTutorialScript.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TDTutorialScript script;
    script.parse(std::string(reinterpret_cast<const char*>(data), size), [](const std::wstring& key) { return key; });
    size_t texts = 0;
    for (const TDTutorialStep& step : script.steps)
        texts += step.texts.size() + step.cmds.size() + step.onComplete.size() + step.folder.size();
    return texts == static_cast<size_t>(-1) ? 1 : 0;
}
