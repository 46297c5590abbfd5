// Entry of the brackenmoor executable.
#include "App/Game.h"
#include "Core/App/CommandLine.h"

int main(int argc, char** argv)
{
    app::Application::SetFactory([]() -> app::Application* { return new Game(); });
    app::Application* application = app::Application::CreateInstance();
    application->Arguments() = app::ArgumentsFromMain(argc, argv);
    if (application->Init())
        return 1;
    application->Main();
    const int code = application->GetExitCode();
    // Singletons go now, while the window system is still up for the window's own clean-up.
    base::SingletoneBase::DestroyAll();
    return code;
}
