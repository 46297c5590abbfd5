// The splash sequence: the logo list, the logos' timing and the way on to the intro video.
#include "Source/TD/Shell/TDSplashScreens.h"

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/Base/Tokenizer.h"
#include "Core/File/ReadFile.h"
#include "Core/Media/Image/Image.h"
#include "Framework/GameApplication.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/SplashLogo.h"

namespace
{
std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;)
    {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}
} // namespace

std::vector<std::wstring> TDSplashScreens::readLogoNames(const std::string& text)
{
    std::vector<std::wstring> names;
    for (const std::string& raw : split(text, '\n'))
    {
        std::string line = raw;
        base::Trim(line);
        if (line.empty())
            continue;
        std::string packed;
        base::RemoveChar(line, ' ', packed);
        const std::vector<std::string> fields = split(packed, ';');
        if (fields.size() < 2)
        {
            QL_LOG(L"Logo list line without names: '%s'\n") << base::LogStyle::Error << base::StringToWString(line, 1);
            continue;
        }
        for (std::string name : split(fields[1], ','))
        {
            if (!name.empty() && name.back() == '\r')
                name.pop_back();
            names.push_back(base::StringToWString(name, 1));
        }
    }
    return names;
}

TDSplashScreens::TDSplashScreens(HUD* hud) : mHud(hud)
{
    bool ok = false;
    const std::string text = file::ReadFile(kLogoList, nullptr, &ok);
    if (!ok)
        QL_LOG(L"No logo list '%s': the intro follows at once\n") << base::LogStyle::Error << kLogoList;
    framework::GameApplication* app = framework::GameApplication::Get();
    for (const std::wstring& name : readLogoNames(text))
    {
        std::unique_ptr<render::Image> image;
        if (!name.empty() && app && app->mRender)
            image.reset(app->LoadImage(L"logo/" + name));
        if (!image)
            QL_LOG(L"Logo 'logo/%s' not loaded: its time passes in black\n") << base::LogStyle::Error << name;
        mLogos.push_back(std::make_unique<SplashLogo>(std::move(image)));
    }
    mCurrent = 0;
}

TDSplashScreens::~TDSplashScreens() = default;

void TDSplashScreens::Draw(render::Graphics* graphics)
{
    if (mCurrent >= 0 && mCurrent < static_cast<i32>(mLogos.size()))
        mLogos[static_cast<size_t>(mCurrent)]->draw(graphics);
}

void TDSplashScreens::Update(float dt)
{
    if (!mOpen)
        return;
    const i32 count = static_cast<i32>(mLogos.size());
    if (mCurrent < count)
    {
        SplashLogo* logo = mLogos[static_cast<size_t>(mCurrent)];
        logo->update(dt);
        if (logo->state != SplashLogo::Finished)
            return;
        if (++mCurrent < count)
            return;
    }
    mOpen = false;
}

void TDSplashScreens::OnClosing()
{
    if (mHud)
        mHud->showVideoIntro();
}

std::wstring TDSplashScreens::ButtonNameAt(int, int)
{
    ++mCurrent;
    return mCurrent == static_cast<i32>(mLogos.size()) ? L"done" : L"";
}
