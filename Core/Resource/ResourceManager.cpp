// The resource manager singleton: owns one table per kind.
#include "Core/Resource/ResourceManager.h"

namespace resource
{
ResourceManager::~ResourceManager()
{
    mDestroyers.clear();
    mByKind.clear();
}
} // namespace resource
