// Loads the GL entry points by name.
#include "Platform/Gpu/GlFunctions.h"

#include "Platform/Gpu/Context.h"

namespace gpu
{
bool GlFunctions::Load(Context& context, const char** missing)
{
#define QL_GL_LOAD(type, name)                                                                                         \
    name = reinterpret_cast<type>(context.GetProcAddress("gl" #name));                                                 \
    if (!name)                                                                                                         \
    {                                                                                                                  \
        if (missing)                                                                                                   \
            *missing = "gl" #name;                                                                                     \
        return false;                                                                                                  \
    }
    QL_GL_FUNCTIONS(QL_GL_LOAD)
#undef QL_GL_LOAD
    return true;
}
} // namespace gpu
