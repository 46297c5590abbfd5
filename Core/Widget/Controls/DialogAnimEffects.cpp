// Animated dialog show and hide.
#include "Core/Widget/Controls/DialogAnimEffects.h"

#include "Core/Base/Log.h"
#include "Core/Base/StringConvert.h"
#include "Core/Layer/Layer.h"
#include "Core/Layer/LayerAnim.h"
#include "Core/Layer/MeshLayer.h"
#include "Core/Media/Animation/AnimData.h"
#include "Core/Resource/ResourceManager.h"
#include "Core/Widget/Controls/ControlHost.h"
#include "Core/Widget/Controls/Dialog.h"
#include "Core/Widget/Controls/DialogEffectsManager.h"

#include <tinyxml2.h>

#include <memory>

namespace widget
{
void RegisterAnimCreator(DialogEffectsManager& manager)
{
    manager.RegisterCreator("Anim", std::make_unique<DialogEffectsDataCreator<DialogAnimEffectsData>>());
}

QLResultEnum DialogAnimEffectsData::LoadAnim(const std::wstring& path, base::CountedPtr<animation::AnimData>& out)
{
    out = resource::ResourceManager::Instance()->Get<animation::AnimData>(path);
    if (!out)
    {
        QL_LOG(L"No animation '%s'\n") << base::LogStyle::Error << path;
        return QL_FAIL;
    }
    if (out->IsLoaded())
        return QL_OK;
    out->SetRender(gui::ControlHost::Get()->GetRender());
    return out->Load();
}

QLResultEnum DialogAnimEffectsData::ReadXml(const tinyxml2::XMLElement* element)
{
    const char* show = element->Attribute("show_anim_data");
    const char* hide = element->Attribute("hide_anim_data");
    if (!show || !hide)
        return QL_FAIL;
    mShowPath = base::StringToWString(show, 1);
    mHidePath = base::StringToWString(hide, 1);
    // Its presence is what counts, whatever its value.
    mPreload = element->Attribute("preload") != nullptr;
    if (!mPreload)
        return QL_OK;
    if (QLResultEnum r = LoadAnim(mShowPath, mShow))
        return r;
    return LoadAnim(mHidePath, mHide);
}

QLResultEnum DialogAnimEffectsData::CreateEffects(Dialog* dialog, DialogEffects** out)
{
    auto effects = std::make_unique<DialogAnimEffects>();
    if (QLResultEnum r = effects->Init(dialog, this))
        return r;
    *out = effects.release();
    return QL_OK;
}

DialogAnimEffects::DialogAnimEffects() = default;
DialogAnimEffects::~DialogAnimEffects() = default;

QLResultEnum DialogAnimEffects::Init(Dialog* dialog, DialogEffectsData* data)
{
    mDialog = dialog;
    auto* anim = dynamic_cast<DialogAnimEffectsData*>(data);
    if (!anim)
        return QL_FAIL;
    if (anim->mPreload)
    {
        mShow = anim->mShow;
        mHide = anim->mHide;
    }
    else
    {
        if (QLResultEnum r = DialogAnimEffectsData::LoadAnim(anim->mShowPath, mShow))
            return r;
        if (QLResultEnum r = DialogAnimEffectsData::LoadAnim(anim->mHidePath, mHide))
            return r;
    }
    for (const auto* set : {&mShow, &mHide})
        if (!*set || (*set)->mLayers.size() != 1)
        {
            QL_LOG(L"A dialog animation must have exactly one layer\n") << base::LogStyle::Error;
            return QL_FAIL;
        }
    return QL_OK;
}

QLResultEnum DialogAnimEffects::Begin(const base::CountedPtr<animation::AnimData>& anim, u32 state)
{
    if (!anim || anim->mLayers.empty() || !mDialog || !mDialog->GetLayer())
        return QL_FAIL;
    mAnim = std::make_unique<animation::LayerAnim>(mDialog->GetLayer(), anim->mLayers.front().get());
    ShowMesh(anim->mLayers.front()->mMesh);
    mClock = anim->mStartTime;
    mEnd = anim->mEndTime;
    mState = state;
    return mAnim->Apply(mClock);
}

void DialogAnimEffects::ShowMesh(const lightwave::Mesh* mesh)
{
    if (mMeshLayer && mMeshLayer->GetMesh() == mesh)
        return;
    mMeshLayer.reset(); // leaves the dialog's layer
    layer::Layer* parent = mDialog ? mDialog->GetLayer() : nullptr;
    if (!mesh || !parent)
        return;
    mMeshLayer = std::make_unique<animation::MeshLayer>(mesh);
    parent->AddChild(mMeshLayer.get());
    parent->mChildren.pop_back();
    parent->mChildren.insert(parent->mChildren.begin(), mMeshLayer.get());
}

QLResultEnum DialogAnimEffects::Show() { return Begin(mShow, SHOWING); }

QLResultEnum DialogAnimEffects::Hide()
{
    if (mState == SHOWING)
    {
        mHideRequested = true;
        return QL_OK;
    }
    return Begin(mHide, HIDING);
}

QLResultEnum DialogAnimEffects::Update(float dt)
{
    if ((mState != SHOWING && mState != HIDING) || !mAnim)
        return QL_OK;
    mClock += dt;
    const bool finished = mClock >= mEnd;
    if (finished)
        mClock = mEnd;
    if (QLResultEnum r = mAnim->Apply(mClock))
        return r;
    if (!finished)
        return QL_OK;
    mAnim.reset();
    if (mState == SHOWING)
    {
        mState = SHOWN;
        if (mDialog)
            if (QLResultEnum r = mDialog->OnShown())
                return r;
        if (mHideRequested)
        {
            mHideRequested = false;
            return Hide();
        }
        return QL_OK;
    }
    mState = HIDDEN;
    Dialog* dialog = mDialog;
    Stop();
    return dialog ? dialog->Close() : QL_OK;
}
} // namespace widget
