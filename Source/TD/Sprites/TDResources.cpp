// The sprite store: sheets opened by path, graphics cached by their keys.
#include "Source/TD/Sprites/TDResources.h"

#include "Core/Base/StringConvert.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Source/TD/Sprites/TDPsdSheet.h"

#include <tinyxml2.h>

#include <algorithm>

TDResources::TDResources() : mLoader(&mNullLoader)
{
    mOpener = [](const std::wstring& path, bool keepPixels) -> std::shared_ptr<TDImageSheet>
    { return TDPsdSheet::open(path, keepPixels); };
}

TDResources::~TDResources() = default;

const std::vector<std::wstring>& TDResources::battleSheets()
{
    static const std::vector<std::wstring> sheets = {
        L"td/units/t1units", L"td/units/t2units", L"td/units/t3units",  L"td/towers/artillery",
        L"td/towers/dart",   L"td/towers/cannon", L"td/towers/support", L"td/data/ui_parts",
    };
    return sheets;
}

void TDResources::setTextureLoader(TDTextureLoader* loader) { mLoader = loader ? loader : &mNullLoader; }

void TDResources::setSheetOpener(SheetOpener opener)
{
    if (opener)
        mOpener = std::move(opener);
}

std::shared_ptr<TDImageSheet> TDResources::openSheet(const std::wstring& path)
{
    return mOpener(path, mLoader->wantsPixels());
}

void TDResources::loadContainer(const std::wstring& path)
{
    std::shared_ptr<TDImageSheet> sheet = openSheet(path);
    if (!sheet)
        return;
    for (const std::wstring& group : sheet->groups())
    {
        auto graphic = std::make_unique<TDGraphic>();
        graphic->mPsd = L"td/" + group;
        graphic->mImg = graphic->mPsd;
        graphic->mAnimated = 1;
        graphic->fill(sheet, group, *mLoader);
        mGraphics.push_back(std::move(graphic));
    }
}

TDGraphic* TDResources::getGraphic(const std::string& psd, const std::string& img, i32 id)
{
    if (psd.empty() && img.empty())
        return nullptr;
    std::wstring psdKey = L"td/" + base::StringToWString(psd, 1);
    std::wstring imgKey = L"td/" + base::StringToWString(img, 1);
    for (const auto& graphic : mGraphics)
        if (graphic->mPsd == psdKey && graphic->mImg == imgKey)
            return graphic.get();
    auto graphic = std::make_unique<TDGraphic>();
    graphic->mId = id;
    graphic->mPsd = psdKey;
    graphic->mImg = imgKey;
    if (!psd.empty())
    {
        graphic->mAnimated = 1;
        graphic->fill(openSheet(psdKey), std::wstring(), *mLoader);
    }
    if (!img.empty())
        graphic->mImage = mLoader->loadPicture(imgKey);
    mGraphics.push_back(std::move(graphic));
    return mGraphics.back().get();
}

TDGraphic* TDResources::getGraphic(const tinyxml2::XMLElement* element)
{
    if (!element)
        return nullptr;
    const char* psd = element->Attribute("psd");
    const char* img = element->Attribute("img");
    return getGraphic(psd ? psd : "", img ? img : "", element->IntAttribute("id", 0));
}

TDGraphic* TDResources::findGraphic(const std::wstring& name)
{
    for (const auto& graphic : mGraphics)
        if (graphic->mPsd == name)
            return graphic.get();
    auto graphic = std::make_unique<TDGraphic>();
    graphic->mPsd = name;
    graphic->mAnimated = 1;
    graphic->fill(openSheet(name), std::wstring(), *mLoader);
    mGraphics.push_back(std::move(graphic));
    return mGraphics.back().get();
}

TDGraphic* TDResources::loadBackground(const std::wstring& folder)
{
    if (!mBackground.empty() && mBackground != folder)
        releaseGraphic(mBackground);
    mBackground = folder;
    return findGraphic(folder);
}

void TDResources::releaseGraphic(const std::wstring& name)
{
    auto released = std::stable_partition(mGraphics.begin(), mGraphics.end(),
                                          [&](const std::unique_ptr<TDGraphic>& g) { return g->mPsd != name; });
    for (auto it = released; it != mGraphics.end(); ++it)
        for (const auto& listener : mListeners)
            listener.second(**it);
    mGraphics.erase(released, mGraphics.end());
    if (name == mBackground)
        mBackground.clear();
}

void TDResources::addReleaseListener(const void* owner, ReleaseListener listener)
{
    removeReleaseListener(owner);
    if (listener)
        mListeners.emplace_back(owner, std::move(listener));
}

void TDResources::removeReleaseListener(const void* owner)
{
    std::erase_if(mListeners, [&](const auto& entry) { return entry.first == owner; });
}

const TDSheetImage* TDResources::findImage(const TDImageSheet& sheet, const std::wstring& name) const
{
    return sheet.findImage(name);
}

std::unique_ptr<TDTexture> TDResources::loadImage(const TDImageSheet& sheet, const std::wstring& name)
{
    const TDSheetImage* image = sheet.findImage(name);
    if (!image)
        return nullptr;
    return mLoader->load(sheet, static_cast<size_t>(image - &sheet.image(0)));
}

bool TDResources::setLayerImage(TDFrameEntry& layer, file::ImageContainer* container, const std::wstring& name)
{
    layer.mName = name;
    const base::ImageInfo* info = container ? container->FindImage(name) : nullptr;
    if (!info)
        return false;
    layer.mX = info->mX;
    layer.mY = info->mY;
    layer.mWidth = info->mWidth;
    layer.mHeight = info->mHeight;
    layer.mOrder = static_cast<i32>(info->mIndex);
    if (std::unique_ptr<TDTexture> texture = mLoader->loadLayoutImage(*container, name))
        layer.setOwnedImage(std::move(texture));
    return true;
}

const TDFrameEntry* TDResources::getImage(const std::wstring& sheetPath, const std::wstring& imageName,
                                          const std::string& list)
{
    TDGraphic* graphic = findGraphic(sheetPath);
    for (const TDFrameEntry* entry : graphic->frames(list))
        if (imageName.empty() || entry->mName == imageName)
            return entry;
    // A picture outside the graphic's lists ("ui/brush" of the sheet "td/ui").
    if (list.empty() && !imageName.empty())
        return graphic->picture(imageName, *mLoader);
    return nullptr;
}
