// Boards listen to themselves.
#include "Core/Widget/BaseBoard.h"

#include "Core/Layer/Layer.h"

namespace widget
{
BaseBoard::BaseBoard() : WidgetHitTestListener(this)
{
    SetListener(static_cast<WidgetListener*>(this), true);
    GetLayer()->SetHitListener(static_cast<WidgetHitTestListener*>(this));
}
} // namespace widget
