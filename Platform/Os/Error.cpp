// Last platform error text.
#include "Platform/Os/Error.h"

namespace os
{
static std::string& Storage()
{
    static thread_local std::string text;
    return text;
}

const std::string& LastError() { return Storage(); }
void SetLastError(const std::string& text) { Storage() = text; }
} // namespace os
