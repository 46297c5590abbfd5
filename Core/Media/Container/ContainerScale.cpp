// Scale factors read from the file manager and the media layer.
#include "Core/Media/Container/ContainerScale.h"

#include "Core/File/FileManager.h"
#include "Core/Media/Image/MediaScale.h"

namespace file
{
float LayoutScale()
{
    return base::Singletone<FileManager>::Exists() ? FileManager::Instance()->mPsdFolderScale : 1.0f;
}

float ImageScale() { return render::GetMediaScale().image; }
} // namespace file
