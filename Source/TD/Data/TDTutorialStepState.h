// Where a tutorial step stands (TDTutorialStep::state and the profile's stored "state").
// Unscoped so that the fields stay i32: the numbers are the ones the profile stores.
#pragma once

#include "Core/Base/Types.h"

enum TDTutorialStepState : i32
{
    kStepWaiting = 0,
    kStepActive = 1, // its page shown
    kStepComplete = 2,
};
