// Where the running program lives.
#pragma once

#include "Core/Base/Types.h"

#include <string>

namespace os
{
// The running executable's full path (no length limit).
QLResultEnum ExecutablePath(std::wstring& out);
} // namespace os
