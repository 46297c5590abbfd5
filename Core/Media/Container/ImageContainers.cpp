// Registration of the image container makers.
#include "Core/Media/Container/ImageContainers.h"

#include "Core/Media/Container/PsdFile.h"
#include "Core/Media/Container/PsdFolder.h"

namespace file
{
namespace
{
ImageContainer* MakeFolder(const std::wstring& path, FileContainer* owner) { return new PsdFolder(path, owner); }

ImageContainer* MakePsdFile(const std::wstring& path, FileContainer* owner) { return new PsdFile(path, owner); }
} // namespace

void RegisterImageContainers() { FileContainer::SetImageContainerMakers(MakeFolder, MakePsdFile); }
} // namespace file
