// One switch for every backend of the program: headless means the null video driver, the
// recording GPU device its windows hand out and the null audio device. Read once from
// QL_HEADLESS=1 (or QL_VIDEO=null) unless the program sets it first.
#pragma once

namespace os
{
bool IsHeadless();
void SetHeadless(bool headless);
} // namespace os
