// The running show and hide effects of one dialog: a task among the frame manager's children.
// It tells the dialog when it is shown and closes it when the hide has ended.
#pragma once

#include "Core/App/Task.h"

namespace widget
{
class Dialog;
class DialogEffectsData;

class DialogEffects : public base::Task
{
public:
    // Owned by its parent task, keeps it alive, not thread-safe.
    DialogEffects() : base::Task(true, false, true, false) {}
    // The dialog forgets these effects.
    ~DialogEffects() override;

    virtual void SetDialog(Dialog* dialog) { mDialog = dialog; }
    virtual QLResultEnum Show() = 0;
    virtual QLResultEnum Hide() = 0;
    // Ends the task (its parent deletes it) and forgets the dialog.
    virtual void Release();
    virtual QLResultEnum Init(Dialog* dialog, DialogEffectsData* data) = 0;

    Dialog* GetDialog() const { return mDialog; }

protected:
    Dialog* mDialog = nullptr; // not owned
};
} // namespace widget
