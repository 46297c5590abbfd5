// The visual of a skinned control: a layer that draws nothing and is never hit itself, holding
// the control's state layers as children and centred on the union of their layout rectangles.
#pragma once

#include "Core/Layer/Layer.h"
#include "Core/Widget/Controls/GameControlHelper.h"

#include <memory>
#include <vector>

namespace gui
{
class GameControl : public layer::Layer, public GameControlHelper
{
public:
    explicit GameControl(i32 stateCount);
    // Detaches and deletes the state layers first.
    ~GameControl() override;

    QLResultEnum DrawSelf(render::Graphics*) override { return QL_OK; }
    bool HitTest(const math::Point3&) override { return false; }

    // An empty name leaves the slot empty. The layer's rectangle (truncated) joins the union.
    QLResultEnum LoadStateLayer(i32 index, const std::wstring& name, layer::ImageLayer** out);
    // Takes over a layer made elsewhere into a slot (an index out of range leaves it with the
    // caller), with its layout rectangle joining the union.
    void SetStateLayer(i32 index, layer::Layer* layer, const math::Rect& rect);
    void SetStateLayer(i32 index, std::unique_ptr<layer::Layer> layer, const math::Rect& rect);
    // Centres the control on the floor of the union's centre and appends the state layers,
    // each placed relative to it.
    void LayoutStateLayers();

    layer::Layer* GetStateLayer(i32 index) const
    {
        return index >= 0 && index < static_cast<i32>(mStateLayers.size()) ? mStateLayers[index].get() : nullptr;
    }

    i32 mUnionX = 0, mUnionY = 0, mUnionWidth = 0, mUnionHeight = 0;
    bool mUnionValid = false;
    std::vector<std::unique_ptr<layer::Layer>> mStateLayers;
};
} // namespace gui
