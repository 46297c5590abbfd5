// A frame shown and hidden through optional dialog effects that removes itself from its frame
// manager when it closes. It is its own listener (with draw hooks) and its own hit listener.
#pragma once

#include "Core/Widget/Frame.h"
#include "Core/Widget/WidgetHitTestListener.h"
#include "Core/Widget/WidgetListener.h"

#include <string>

namespace widget
{
class DialogEffects;

class Dialog : public Frame, public WidgetListener, public WidgetHitTestListener
{
public:
    Dialog();
    // Releases the effects.
    ~Dialog() override;

    // Creates the content; called by the opener before showing.
    virtual QLResultEnum Build() { return QL_OK; }
    // The dialog is fully shown.
    virtual QLResultEnum OnShown() { return QL_OK; }
    // Queues the removal from the frame manager (deleted when asked at Hide). 1 without one.
    virtual QLResultEnum Close();
    // With effects: the hide effect, which closes the dialog when done; else Close at once.
    virtual QLResultEnum Hide(bool deleteAfterClose);
    // Releases the current effects; new ones join the frame manager's tasks and start their show;
    // without any the dialog counts as shown at once.
    virtual QLResultEnum SetEffects(DialogEffects* effects);

    // WidgetListener
    QLResultEnum OnManagerAttached() override;
    QLResultEnum OnFrameDetached() override;

    DialogEffects* GetEffects() const { return mEffects; }
    // Called by the effects when they go.
    void ForgetEffects(const DialogEffects* effects)
    {
        if (mEffects == effects)
            mEffects = nullptr;
    }

    std::string mEffectsName; // key of the dialog-effects assignments
    DialogEffects* mEffects = nullptr;
    bool mDeleteAfterClose = false;

protected:
    void ReleaseEffects();
};
} // namespace widget
