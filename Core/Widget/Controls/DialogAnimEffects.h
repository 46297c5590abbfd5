// Dialog effects played from animation files: the show animation when the dialog starts, the
// hide animation when it is hidden (after the show has ended), each applied to the dialog's layer.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Media/Animation/AnimData.h"
#include "Core/Widget/Controls/DialogEffects.h"
#include "Core/Widget/Controls/DialogEffectsData.h"

#include <memory>
#include <string>

namespace animation
{
class LayerAnim;
class MeshLayer;
} // namespace animation
namespace lightwave
{
struct Mesh;
}

namespace widget
{
class DialogEffectsManager;

// An "Anim" set: "show_anim_data" and "hide_anim_data" (required), "preload" (present: load now).
class DialogAnimEffectsData : public DialogEffectsData
{
public:
    QLResultEnum ReadXml(const tinyxml2::XMLElement* element) override;
    QLResultEnum CreateEffects(Dialog* dialog, DialogEffects** out) override;

    // The named animation from the resource manager, given the renderer and loaded.
    static QLResultEnum LoadAnim(const std::wstring& path, base::CountedPtr<animation::AnimData>& out);

    std::wstring mShowPath;
    std::wstring mHidePath;
    base::CountedPtr<animation::AnimData> mShow;
    base::CountedPtr<animation::AnimData> mHide;
    bool mPreload = false;
};

class DialogAnimEffects : public DialogEffects
{
public:
    enum State : u32
    {
        IDLE = 0,
        SHOWING = 1,
        SHOWN = 2,
        HIDING = 3,
        HIDDEN = 4,
    };

    DialogAnimEffects();
    ~DialogAnimEffects() override;

    // Both animations must exist and hold exactly one layer.
    QLResultEnum Init(Dialog* dialog, DialogEffectsData* data) override;
    QLResultEnum Show() override;
    // While showing only remembers the request.
    QLResultEnum Hide() override;
    QLResultEnum Update(float dt) override;

    u32 GetState() const { return mState; }
    float GetClock() const { return mClock; }
    // The mesh the last animation's layer names, drawn beneath the dialog's content; null when
    // it names none.
    const animation::MeshLayer* GetMeshLayer() const { return mMeshLayer.get(); }

private:
    QLResultEnum Begin(const base::CountedPtr<animation::AnimData>& anim, u32 state);
    // Shows the mesh under the dialog from now on (null: none); it stays after the animation ends,
    // as the pose does.
    void ShowMesh(const lightwave::Mesh* mesh);

    base::CountedPtr<animation::AnimData> mShow;
    base::CountedPtr<animation::AnimData> mHide;
    u32 mState = IDLE;
    std::unique_ptr<animation::LayerAnim> mAnim;
    std::unique_ptr<animation::MeshLayer> mMeshLayer;
    float mClock = 0.0f;
    float mEnd = 0.0f;
    bool mHideRequested = false;
};

// Registers "Anim" with the manager.
void RegisterAnimCreator(DialogEffectsManager& manager);
} // namespace widget
