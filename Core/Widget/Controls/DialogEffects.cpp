// Release and destruction of dialog effects.
#include "Core/Widget/Controls/DialogEffects.h"

#include "Core/Widget/Controls/Dialog.h"

namespace widget
{
DialogEffects::~DialogEffects()
{
    if (mDialog)
        mDialog->ForgetEffects(this);
}

void DialogEffects::Release()
{
    Stop();
    if (mDialog)
        mDialog->ForgetEffects(this);
    mDialog = nullptr;
}
} // namespace widget
