// Layout layers as image layers.
#include "Core/Widget/Controls/GameControlHelper.h"

#include "Core/Base/Log.h"
#include "Core/File/FileManager.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Media/Image/ImageContainer.h"
#include "Core/Media/Image/ImageFactory.h"
#include "Core/Media/Image/ImageInfo.h"
#include "Core/Widget/Controls/ControlHost.h"
#include "Core/Widget/Controls/TrapHitTestListener.h"
#include "Core/Widget/Widget.h"

#include <memory>
#include <utility>

namespace gui
{
GameControlHelper::GameControlHelper() = default;

// The created layers go first to last (each leaves its parent as it goes), then the trap
// listener, then an owned layout.
GameControlHelper::~GameControlHelper()
{
    mCreated.clear();
    mTrap.reset();
    mContainer.clear();
}

QLResultEnum GameControlHelper::Init(const std::wstring& path, widget::Widget* widget,
                                     layer::HitTestListener* hitListener, layer::Layer* parentLayer, bool ownsContainer)
{
    file::ImageContainer* container = file::FileManager::Instance()->OpenImageContainer(path);
    if (!container)
    {
        QL_LOG(L"No layout '%s'\n") << base::LogStyle::Error << path;
        return QL_FAIL;
    }
    return Init(container, widget, hitListener, parentLayer, ownsContainer);
}

QLResultEnum GameControlHelper::Init(file::ImageContainer* container, widget::Widget* widget,
                                     layer::HitTestListener* hitListener, layer::Layer* parentLayer, bool ownsContainer)
{
    mContainer.reset(container, ownsContainer);
    mWidget = widget;
    mHitListener = hitListener;
    mDefaultParent = parentLayer ? parentLayer : (widget ? widget->GetLayer() : nullptr);
    return container ? QL_OK : QL_FAIL;
}

const base::ImageInfo* GameControlHelper::FindLayoutLayer(const std::wstring& name) const
{
    return mContainer ? mContainer->FindImage(name) : nullptr;
}

QLResultEnum GameControlHelper::LoadLayer(const std::wstring& name, math::Rect* outRect, layer::ImageLayer** out)
{
    if (!mContainer)
        return QL_FAIL;
    base::ImageInfo info;
    layer::ImageLayer* made = nullptr;
    if (QLResultEnum r = layer::CreateImageLayer(ControlHost::Get()->GetRender(), name, mContainer.get(), &made, &info))
    {
        QL_LOG(L"No layer '%s' in the layout '%s'\n") << base::LogStyle::Error << name << mContainer->GetPath();
        return r;
    }
    std::unique_ptr<layer::ImageLayer> layer(made);
    layer->SetHitListener(mHitListener);
    if (outRect)
        *outRect = math::Rect(info.mX, info.mY, info.mWidth, info.mHeight);
    if (out)
        *out = layer.release();
    return QL_OK;
}

QLResultEnum GameControlHelper::AddImageLayer(const std::wstring& name, u32 mode, layer::Layer* parent,
                                              layer::ImageLayer** out)
{
    return PlaceImageLayer(name, mode, parent, true, out);
}

QLResultEnum GameControlHelper::AppendImageLayer(const std::wstring& name, u32 mode, layer::Layer* parent,
                                                 layer::ImageLayer** out)
{
    return PlaceImageLayer(name, mode, parent, false, out);
}

QLResultEnum GameControlHelper::PlaceImageLayer(const std::wstring& name, u32 mode, layer::Layer* parent, bool beneath,
                                                layer::ImageLayer** out)
{
    layer::ImageLayer* layer = nullptr;
    if (QLResultEnum r = LoadLayer(name, nullptr, &layer))
        return r;
    if (layer::Layer* target = parent ? parent : mDefaultParent)
        layer->SetPosition(layer->mPosition.x - target->mPosition.x, layer->mPosition.y - target->mPosition.y, 0.0f);
    if (beneath)
        (void)AttachFirst(layer, mode, parent);
    else
        (void)AttachLast(layer, mode, parent);
    if (out)
        *out = layer;
    return QL_OK;
}

void GameControlHelper::ApplyMode(std::unique_ptr<layer::Layer> layer, u32 mode)
{
    if (mode == HIT_NONE)
        layer->mHitTestable = false;
    else if (mode == HIT_TRAP)
        layer->SetHitListener(GetTrapListener());
    mCreated.push_back(std::move(layer));
}

QLResultEnum GameControlHelper::AttachFirst(layer::Layer* layer, u32 mode, layer::Layer* parent)
{
    return AttachFirst(std::unique_ptr<layer::Layer>(layer), mode, parent);
}

QLResultEnum GameControlHelper::AttachLast(layer::Layer* layer, u32 mode, layer::Layer* parent)
{
    return AttachLast(std::unique_ptr<layer::Layer>(layer), mode, parent);
}

QLResultEnum GameControlHelper::AttachFirst(std::unique_ptr<layer::Layer> owned, u32 mode, layer::Layer* parent)
{
    layer::Layer* layer = owned.get();
    ApplyMode(std::move(owned), mode);
    layer::Layer* target = parent ? parent : mDefaultParent;
    if (!target)
        return QL_OK;
    if (layer->GetParent())
        layer->GetParent()->RemoveChild(layer);
    // Drawn beneath the others; the tree then rebuilds its transforms as AddChild would ask.
    target->AddChild(layer);
    target->mChildren.pop_back();
    target->mChildren.insert(target->mChildren.begin(), layer);
    return QL_OK;
}

QLResultEnum GameControlHelper::AttachLast(std::unique_ptr<layer::Layer> owned, u32 mode, layer::Layer* parent)
{
    layer::Layer* layer = owned.get();
    ApplyMode(std::move(owned), mode);
    if (layer::Layer* target = parent ? parent : mDefaultParent)
        target->AddChild(layer);
    return QL_OK;
}

widget::TrapHitTestListener* GameControlHelper::GetTrapListener()
{
    if (!mTrap)
        mTrap = std::make_unique<widget::TrapHitTestListener>(mWidget);
    return mTrap.get();
}
} // namespace gui
