// The owner's side of a button: told of each click.
#pragma once

#include "Core/Base/Types.h"

namespace widget
{
class Button;

class ButtonListener
{
public:
    virtual ~ButtonListener() = default;
    virtual QLResultEnum OnClick(Button* button) { return QL_OK; }
};
} // namespace widget
