// Skinned dialogs.
#include "Core/Widget/Controls/TesselDialog.h"

#include "Core/Base/Log.h"
#include "Core/Layer/TextLayer.h"
#include "Core/Media/Graphics/Font.h"
#include "Core/Media/Image/ImageInfo.h"
#include "Core/Widget/Controls/GameSettings.h"
#include "Core/Widget/FrameManager.h"

#include <memory>
#include <utility>

TesselDialog::TesselDialog() { (void)SetDisabled(true); }

TesselDialog::~TesselDialog() { (void)RemoveAllChildren(true, true, true); }

QLResultEnum TesselDialog::OnShown()
{
    if (QLResultEnum r = SetDisabled(false))
        return r;
    return GetManager() ? GetManager()->RefreshPointer() : QL_OK;
}

QLResultEnum TesselDialog::Hide(bool deleteAfterClose)
{
    if (QLResultEnum r = SetDisabled(true))
        return r;
    return widget::Dialog::Hide(deleteAfterClose);
}

QLResultEnum TesselDialog::AddText(const std::wstring& layerName, const std::wstring& key,
                                   base::CountedPtr<render::Font> font, layer::TextLayer** out)
{
    const base::ImageInfo* place = FindLayoutLayer(layerName);
    if (!place)
    {
        QL_LOG(L"No text place '%s' in the layout\n") << base::LogStyle::Error << layerName;
        return QL_FAIL;
    }
    auto owned = std::make_unique<layer::TextLayer>(std::move(font), gui::Localize(key));
    layer::TextLayer* text = owned.get();
    text->mHitTestable = false;
    (void)AttachLast(std::move(owned), HIT_NONE, nullptr);
    text->SetAlignment(2, 2);
    text->SetPosition(place->mX + place->mWidth * 0.5f, place->mY + place->mHeight * 0.5f, 0.0f);
    text->AlignToPixels();
    if (out)
        *out = text;
    return QL_OK;
}

void TesselDialog::FitToPlace(layer::TextLayer* text, const std::wstring& layerName)
{
    const base::ImageInfo* place = FindLayoutLayer(layerName);
    if (!text || !place || place->mWidth <= 0)
        return;
    const math::Box box = text->Measure();
    const float width = box.IsEmpty() ? 0.0f : box.maxX - box.minX;
    const float room = static_cast<float>(place->mWidth);
    if (width > room)
        text->SetScale(room / width, room / width);
}
