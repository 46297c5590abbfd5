// Dialog show, hide and close through the frame manager and the dialog effects.
#include "Core/Widget/Controls/Dialog.h"

#include "Core/Base/Log.h"
#include "Core/Layer/Layer.h"
#include "Core/Widget/Controls/DialogEffects.h"
#include "Core/Widget/Controls/DialogEffectsManager.h"
#include "Core/Widget/FrameManager.h"

namespace widget
{
Dialog::Dialog() : WidgetHitTestListener(this)
{
    SetListener(static_cast<WidgetListener*>(this), true);
    GetLayer()->SetHitListener(static_cast<WidgetHitTestListener*>(this));
}

Dialog::~Dialog() { ReleaseEffects(); }

void Dialog::ReleaseEffects()
{
    DialogEffects* effects = mEffects;
    mEffects = nullptr;
    if (effects)
        effects->Release();
}

QLResultEnum Dialog::Close()
{
    FrameManager* manager = GetManager();
    if (!manager)
    {
        QL_LOG(L"A dialog closed outside a frame manager\n") << base::LogStyle::Error;
        return QL_FAIL;
    }
    return manager->Remove(this, mDeleteAfterClose, true);
}

QLResultEnum Dialog::Hide(bool deleteAfterClose)
{
    mDeleteAfterClose = deleteAfterClose;
    if (mEffects)
        return mEffects->Hide();
    return Close();
}

QLResultEnum Dialog::SetEffects(DialogEffects* effects)
{
    ReleaseEffects();
    mEffects = effects;
    if (!effects)
        return OnShown();
    if (FrameManager* manager = GetManager())
        manager->AddTask(effects);
    return effects->Show();
}

QLResultEnum Dialog::OnManagerAttached()
{
    if (mEffectsName.empty())
        return SetEffects(nullptr);
    DialogEffects* effects = nullptr;
    const QLResultEnum created = DialogEffectsManager::Instance()->CreateEffects(this, &effects);
    if (created)
        QL_LOG(L"No dialog effects for '%s' (%d); the dialog shows without them\n")
            << base::LogStyle::Error << mEffectsName << static_cast<int>(created);
    return SetEffects(created ? nullptr : effects);
}

QLResultEnum Dialog::OnFrameDetached()
{
    ReleaseEffects();
    return QL_OK;
}
} // namespace widget
