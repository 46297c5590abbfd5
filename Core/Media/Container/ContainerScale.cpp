// Scale factors read from the file manager and the application.
#include "Core/Media/Container/ContainerScale.h"

#include "Core/App/Application.h"
#include "Core/File/FileManager.h"

namespace file
{
float LayoutScale()
{
    return base::Singletone<FileManager>::Exists() ? FileManager::Instance()->mPsdFolderScale : 1.0f;
}

float ImageScale()
{
    const app::Application* application = app::Application::Get();
    return application ? application->mImageScale : 1.0f;
}
} // namespace file
