// Where a tutorial step stands (TDTutorialStep::state and the profile's stored "state"). The
// numbers are the ones the profile stores.
#pragma once

#include "Core/Base/Types.h"

enum class TDTutorialStepState : i32
{
    kStepWaiting = 0,
    kStepActive = 1, // its page shown
    kStepComplete = 2,
};
using enum TDTutorialStepState;
