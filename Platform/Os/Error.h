// The last failure reported by the platform layer, for the caller's log.
#pragma once

#include <string>

namespace os
{
const std::string& LastError();
void SetLastError(const std::string& text);
} // namespace os
