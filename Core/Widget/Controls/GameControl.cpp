// State layers of skinned controls and their layout.
#include "Core/Widget/Controls/GameControl.h"

#include "Core/Layer/ImageLayer.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace gui
{
GameControl::GameControl(i32 stateCount) : mStateLayers(static_cast<size_t>(std::max(stateCount, 0))) {}

GameControl::~GameControl()
{
    // First to last, each leaving its parent as it goes.
    for (std::unique_ptr<layer::Layer>& layer : mStateLayers)
        layer.reset();
}

void GameControl::SetStateLayer(i32 index, layer::Layer* layer, const math::Rect& rect)
{
    if (index < 0 || index >= static_cast<i32>(mStateLayers.size()))
        return;
    SetStateLayer(index, std::unique_ptr<layer::Layer>(layer), rect);
}

void GameControl::SetStateLayer(i32 index, std::unique_ptr<layer::Layer> layer, const math::Rect& rect)
{
    if (index < 0 || index >= static_cast<i32>(mStateLayers.size()))
        return;
    mStateLayers[index] = std::move(layer);
    const i32 x = static_cast<i32>(rect.x), y = static_cast<i32>(rect.y);
    const i32 w = static_cast<i32>(rect.w), h = static_cast<i32>(rect.h);
    if (!mUnionValid)
    {
        mUnionX = x;
        mUnionY = y;
        mUnionWidth = w;
        mUnionHeight = h;
        mUnionValid = true;
        return;
    }
    const i32 right = std::max(mUnionX + mUnionWidth, x + w);
    const i32 bottom = std::max(mUnionY + mUnionHeight, y + h);
    mUnionX = std::min(mUnionX, x);
    mUnionY = std::min(mUnionY, y);
    mUnionWidth = right - mUnionX;
    mUnionHeight = bottom - mUnionY;
}

QLResultEnum GameControl::LoadStateLayer(i32 index, const std::wstring& name, layer::ImageLayer** out)
{
    if (name.empty())
        return QL_OK;
    math::Rect rect;
    layer::ImageLayer* loaded = nullptr;
    if (QLResultEnum r = LoadLayer(name, &rect, &loaded))
        return r;
    std::unique_ptr<layer::Layer> layer(loaded);
    if (index < 0 || index >= static_cast<i32>(mStateLayers.size()))
        return QL_FAIL;
    SetStateLayer(index, std::move(layer), rect);
    if (out)
        *out = loaded;
    return QL_OK;
}

void GameControl::LayoutStateLayers()
{
    const float cx = std::floor(static_cast<float>(mUnionX) + static_cast<float>(mUnionWidth) * 0.5f);
    const float cy = std::floor(static_cast<float>(mUnionY) + static_cast<float>(mUnionHeight) * 0.5f);
    SetPosition(cx, cy, 0.0f);
    for (const std::unique_ptr<layer::Layer>& layer : mStateLayers)
    {
        if (!layer)
            continue;
        layer->SetPosition(layer->mPosition.x - cx, layer->mPosition.y - cy, layer->mPosition.z);
        AddChild(layer.get());
    }
}
} // namespace gui
