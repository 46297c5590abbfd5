// The tutorial's pages over the root board, its skip button and its hooks into the battle.
#include "Source/TD/Shell/TDTutorial.h"

#include "Core/Base/Log.h"
#include "Core/File/FileManager.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Image/Image.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Media/Image/ResourceTexture.h"
#include "Framework/GameApplication.h"
#include "Source/TD/Battle/TDMap.h"
#include "Source/TD/Data/LocalStrings.h"
#include "Source/TD/Seams/TDScreen.h"
#include "Source/TD/Shell/GameWindow.h"
#include "Source/TD/Shell/HUD.h"
#include "Source/TD/Shell/HUDButtonList.h"
#include "Source/TD/Shell/HUDModalOpeners.h"

namespace
{
render::Image* loadImage(const std::wstring& name, file::ImageContainer* container)
{
    framework::GameApplication* app = framework::GameApplication::Get();
    if (!container || !app || !app->mRender)
        return nullptr;
    return app->LoadImage(name, container);
}
} // namespace

bool TDTutorial::hasPictureFile(const std::wstring& name) const
{
    if (!mPages)
        return false;
    const std::unique_ptr<file::ImageFileInfo> file(mPages->FindFile(
        name, resource::ResourceTexture::kExtensions, resource::ResourceTexture::kExtensionCount, nullptr));
    return file != nullptr;
}

void TutorialButton::onClick(int x, int y)
{
    if (!hitTest(x, y) || !base::Singletone<TDTutorial>::Exists())
        return;
    TDTutorial* tutorial = TDTutorial::Instance();
    // The page stays drawn under the question; its button stops answering.
    tutorial->skipAsked();
    GameWindow* board = HUDRootBoard();
    if (board)
        HUDShowTutorialCancelDialog(board->getHud(), board->getMap());
}

TDTutorial::TDTutorial() : mImagesLayer(std::make_unique<layer::Layer>()), mTextsLayer(std::make_unique<layer::Layer>())
{
}

TDTutorial::~TDTutorial() { attach(nullptr); }

void TDTutorial::attach(GameWindow* board)
{
    if (mBoard)
    {
        clearShownLayers();
        mSkipButton.reset();
        mPages.reset();
        if (mMap)
            mMap->setTutorial(nullptr);
    }
    mBoard = board;
    mMap = board ? board->getMap() : nullptr;
    if (!mBoard || !mMap)
        return;
    mPages.reset(file::FileManager::Instance()->OpenImageContainer(L"td/data/tutorial"));
    if (!mPages)
        QL_LOG(L"Tutorial pages 'td/data/tutorial' missing: pages show nothing\n") << base::LogStyle::Error;
    mScript.load();
    loadProgress();
    resetIncompleteSteps();
    makeSkipButton();
}

void TDTutorial::makeSkipButton()
{
    const std::unique_ptr<file::ImageContainer> skip(
        file::FileManager::Instance()->OpenImageContainer(L"td/data/tutorial/skip"));
    render::Image* over = loadImage(L"button/b4_over", skip.get());
    render::Image* normal = loadImage(L"button/b4_normal", skip.get());
    const base::ImageInfo* frame = skip ? skip->FindImage(L"button/b4_over") : nullptr;
    mSkipButton = std::make_unique<TutorialButton>(normal, over, LocalStrings::Instance()->get(L"tutorial_skip_label"),
                                                   mBoard->mFontMain32_1);
    if (frame)
        mSkipButton->SetPosition(frame->mX + frame->mWidth * 0.5f, frame->mY + frame->mHeight * 0.5f);
    else
        QL_LOG(L"Tutorial skip button 'td/data/tutorial/skip' missing\n") << base::LogStyle::Error;
}

bool TDTutorial::isActive() const { return mMap && mMap->mTutorialActive; }

void TDTutorial::loadScript(const std::string& text)
{
    clearShownLayers();
    mScript.parse(text, [](const std::wstring& key) { return LocalStrings::Instance()->get(key); });
    if (mMap)
        mScript.loadStates(*mMap);
}

void TDTutorial::onEvent(const std::wstring& name)
{
    if (isActive())
        mScript.onEvent(name, *mMap, *this);
}

void TDTutorial::loadProgress()
{
    if (!mMap)
        return;
    // A page on show, and what its step holds, belong to the player who woke it.
    clearShownLayers();
    TDTutorialScript::releaseHolds(*mMap);
    mMap->mTutorialActive = mMap->mProgress->isTutorialAvailable();
    mScript.loadStates(*mMap);
}

void TDTutorial::update(float dt)
{
    // A screen over the battle (a level's unlock message, the result) is not covered by the
    // page: it waits beneath; the shop, which a page is about, shows it.
    if (mVisible)
        setLayersVisible(!mMap || mMap->mScreen == kScreenBattle || mMap->mScreen == kScreenShop);
    placePage(mMap && mMap->mScreen == kScreenShop ? kShopPageDrop : 0.0f);
    if (mVisible && isActive() && mSkipButton)
        mSkipButton->update(dt);
}

void TDTutorial::onMouseMove(i32 x, i32 y)
{
    if (mVisible && isActive() && mSkipButton)
        mSkipButton->updateHover(x, y);
}

void TDTutorial::onClick(i32 x, i32 y)
{
    if (mVisible && isActive() && mSkipButton)
        mSkipButton->onClick(x, y);
}

void TDTutorial::placePage(float drop)
{
    if (drop == mPageDrop)
        return;
    const float dy = drop - mPageDrop;
    for (layer::Layer* own : {mImagesLayer.get(), mTextsLayer.get(), static_cast<layer::Layer*>(mSkipButton.get())})
        if (own)
            own->SetPosition(own->mPosition.x, own->mPosition.y + dy);
    mPageDrop = drop;
}

void TDTutorial::setLayersVisible(bool visible)
{
    mImagesLayer->mVisible = visible;
    mTextsLayer->mVisible = visible;
    if (mSkipButton)
        mSkipButton->mVisible = visible;
}

void TDTutorial::hide()
{
    // A page under the open skip question is still up: its button answers again once the
    // question is declined and the pause is over.
    if (!mHidden)
        mRememberedVisible = mVisible || mSkipAsked;
    mHidden = true;
    mVisible = false;
    setLayersVisible(false);
}

void TDTutorial::show()
{
    mHidden = false;
    mVisible = mRememberedVisible && !mSkipAsked;
    setLayersVisible(true);
}

void TDTutorial::skipAsked()
{
    mSkipAsked = true;
    mVisible = false;
}

void TDTutorial::skipDeclined()
{
    mSkipAsked = false;
    if (mHidden)
        mRememberedVisible = true;
    else
        mVisible = true;
}

bool TDTutorial::awaits(const std::wstring& event) const
{
    if (!isActive())
        return false;
    for (const TDTutorialStep& step : mScript.steps)
        if (step.state == kStepActive && step.complete == event && step.conditionHolds(*mMap))
            return true;
    return false;
}

void TDTutorial::resetIncompleteSteps()
{
    if (!mMap)
        return;
    TDTutorialScript::resetIncompleteSteps(*mMap);
    mScript.loadStates(*mMap);
}

void TDTutorial::cancel()
{
    if (mMap)
        TDTutorialScript::cancel(*mMap);
    clearShownLayers();
}

void TDTutorial::clearShownLayers()
{
    mShownImages.clear();
    mShownTexts.clear();
    for (layer::Layer* own : {mImagesLayer.get(), mTextsLayer.get(), static_cast<layer::Layer*>(mSkipButton.get())})
        if (own && own->GetParent())
            own->GetParent()->RemoveChild(own);
    mVisible = false;
    mRememberedVisible = false;
    mSkipAsked = false;
}

bool TDTutorial::pageShown() const
{
    return mBoard && mImagesLayer->GetParent() == mBoard->GetLayer() && mImagesLayer->mVisible;
}

void TDTutorial::showStep(const TDTutorialStep& step)
{
    clearShownLayers();
    if (!mBoard || !mBoard->GetLayer())
        return;
    mMap->mScale = 1.0f;
    mMap->mOffsetX = mMap->mOffsetY = 0.0f;
    layer::Layer* root = mBoard->GetLayer();
    root->AddChild(mImagesLayer.get());
    root->AddChild(mTextsLayer.get());
    if (mSkipButton)
        root->AddChild(mSkipButton.get());
    setLayersVisible(true);
    mVisible = true;
    if (!mPages)
        return;
    const std::wstring prefix = step.folder + L"/";
    const u32 count = mPages->GetImageCount();
    for (u32 i = 0; i < count; ++i)
    {
        const base::ImageInfo* info = mPages->GetImage(i);
        if (!info || info->mName.rfind(prefix, 0) != 0)
            continue;
        const float x = info->mX, y = info->mY, w = info->mWidth, h = info->mHeight;
        // An entry whose picture loads is a picture; any other is a text place, empty when the
        // step has no text for it (the loader logs a picture that fails). A place the step has a
        // text for and that has no picture file is not loaded at all.
        const auto found = step.texts.find(info->mName.substr(prefix.size()));
        if (found == step.texts.end() || hasPictureFile(info->mName))
        {
            if (render::Image* image = loadImage(info->mName, mPages.get()))
            {
                auto shown = std::make_unique<layer::ImageLayer>(image, true);
                shown->SetPosition(x, y);
                mImagesLayer->AddChild(shown.get());
                mShownImages.push_back(std::move(shown));
                continue;
            }
        }
        // The text is wrapped to the place and centred on it.
        const std::wstring text = found == step.texts.end() ? std::wstring() : found->second;
        auto shown = std::make_unique<layer::TextLayer>(mBoard->mFontMain32_1, text, w, 0.0f, 2, true);
        shown->SetAlignment(2, 2);
        shown->SetPosition(x + w * 0.5f, y + h * 0.5f);
        mTextsLayer->AddChild(shown.get());
        mShownTexts.push_back(std::move(shown));
    }
}
