// A widget that turns a press followed by a release over it into a click. Its mediator runs the
// visual states; the click goes to the callback, then to the listener.
#pragma once

#include "Core/Base/CountedPtr.h"
#include "Core/Base/Delegate.h"
#include "Core/Base/OwnedOrBorrowed.h"
#include "Core/Widget/Widget.h"

namespace widget
{
class ButtonListener;
class ButtonMediator;

class Button : public Widget
{
public:
    using ClickDelegate = base::Delegate1<Button*, QLResultEnum>;

    enum VisualState : u32
    {
        STATE_NORMAL = 0,
        STATE_OVER = 1,
        STATE_PRESSED = 2,
    };

    // Captures the pointer on press and follows captured movement.
    Button();
    // Deletes an owned mediator.
    ~Button() override;

    const TypeDescriptor& GetTypeDescriptor() const override { return StaticTypeDescriptor(); }
    static TypeDescriptor& StaticTypeDescriptor();

    // The callback first (a non-zero result stops there), then the listener.
    virtual QLResultEnum Click();

    void SetButtonListener(ButtonListener* listener) { mButtonListener = listener; }
    void SetClickCallback(base::CountedPtr<ClickDelegate> callback) { mClickCallback = std::move(callback); }
    u32 GetVisualState() const { return mVisualState; }

    base::OwnedOrBorrowed<ButtonMediator> mMediator;
    ButtonListener* mButtonListener = nullptr; // not owned
    base::CountedPtr<ClickDelegate> mClickCallback;
    u32 mVisualState = STATE_NORMAL;
};
} // namespace widget
