// Widgets and boards that write what they hear into a shared journal ("name:event").
#pragma once

#include "Core/Layer/RectHitLayer.h"
#include "Core/Widget/BaseBoard.h"
#include "Core/Widget/CaptureRecord.h"
#include "Core/Widget/FrameManager.h"
#include "Core/Widget/Widget.h"
#include "Core/Widget/WidgetHitTestListener.h"
#include "Core/Widget/WidgetListener.h"

#include <functional>
#include <string>
#include <vector>

namespace widgettest
{
using Journal = std::vector<std::string>;

inline std::string Format(float v)
{
    const int whole = static_cast<int>(v);
    return static_cast<float>(whole) == v ? std::to_string(whole) : std::to_string(v);
}

// What probe widgets and boards share: a name, the journal, a hook run after each entry, the hit
// state pointer events leave, and a count of deaths.
template <class Base> class Journaling : public Base
{
public:
    template <class... Args>
    Journaling(std::string name, Journal& journal, Args&&... args)
        : Base(std::forward<Args>(args)...), mName(std::move(name)), mJournal(journal)
    {
    }
    ~Journaling() override
    {
        if (mDeaths)
            ++*mDeaths;
    }

    // Runs after the event is written; may change the hit state or act on the tree.
    std::function<QLResultEnum(const std::string& event)> mOnEvent;
    layer::HitTestState mLeave = layer::HIT_HANDLED;
    int* mDeaths = nullptr;
    std::string mName;
    Journal& mJournal;

protected:
    QLResultEnum Say(const std::string& what)
    {
        mJournal.push_back(mName + ":" + what);
        return mOnEvent ? mOnEvent(what) : QL_OK;
    }
};

// The listening half of probe widgets.
template <class Base>
class Listening : public Journaling<Base>, public widget::WidgetListener, public widget::WidgetHitTestListener
{
public:
    template <class... Args>
    Listening(std::string name, Journal& journal, Args&&... args)
        : Journaling<Base>(std::move(name), journal, std::forward<Args>(args)...), WidgetHitTestListener(this)
    {
    }

    QLResultEnum Update(float) override { return this->Say("update"); }
    QLResultEnum OnFrameAttached() override { return this->Say("frame+"); }
    QLResultEnum OnFrameDetached() override { return this->Say("frame-"); }
    QLResultEnum OnManagerAttached() override { return this->Say("manager+"); }
    QLResultEnum OnManagerDetached() override { return this->Say("manager-"); }
    QLResultEnum OnHover(bool in) override { return this->Say(in ? "hover+" : "hover-"); }
    QLResultEnum OnHoverInside(bool in) override { return this->Say(in ? "inside+" : "inside-"); }
    QLResultEnum OnDisabledChanged(bool d) override { return this->Say(d ? "disabled" : "enabled"); }
    QLResultEnum OnDisabledChangedAlt(bool d) override { return this->Say(d ? "alt-disabled" : "alt-enabled"); }
    QLResultEnum OnKeyDown(u32 key) override { return this->Say("key" + std::to_string(key)); }
    QLResultEnum OnKeyUp(u32 key) override { return this->Say("keyup" + std::to_string(key)); }
    QLResultEnum OnChar(u16 unit) override { return this->Say("char" + std::to_string(unit)); }
    QLResultEnum OnPress(const math::Point3& p, u32 b) override { return Act("press", p); }
    QLResultEnum OnRelease(const math::Point3& p, u32 b) override { return Act("release", p); }
    QLResultEnum OnDoublePress(const math::Point3& p, u32 b) override { return Act("double", p); }
    QLResultEnum OnPointerMove(const math::Point3& p) override { return Act("move", p); }
    QLResultEnum OnPointerDrag(const math::Point3& p) override { return Act("drag", p); }
    QLResultEnum OnPointerWheel(const math::Point3& p, u32 v) override { return Act("wheel", p); }
    QLResultEnum OnCapturedMouseDown(const widget::CaptureRecord& c, const math::Point3& p, u32 b) override
    {
        return Act("cdown", p);
    }
    QLResultEnum OnCapturedMouseUp(const widget::CaptureRecord& c, const math::Point3& p, u32 b) override
    {
        (void)Act("cup", p);
        return WidgetListener::OnCapturedMouseUp(c, p, b);
    }
    QLResultEnum OnCapturedMouseMove(const widget::CaptureRecord& c, const math::Point3& p) override
    {
        (void)Act("cmove", p);
        return WidgetListener::OnCapturedMouseMove(c, p);
    }
    QLResultEnum OnCapturedMouseDrag(const widget::CaptureRecord& c, const math::Point3& p) override
    {
        (void)Act("cdrag", p);
        return WidgetListener::OnCapturedMouseDrag(c, p);
    }

    bool mWithPoints = false;

private:
    QLResultEnum Act(const std::string& what, const math::Point3& p)
    {
        std::string line = this->mName + ":" + what;
        if (mWithPoints)
            line += "(" + Format(p.x) + "," + Format(p.y) + ")";
        this->mJournal.push_back(line);
        mState = this->mLeave;
        return this->mOnEvent ? this->mOnEvent(what) : QL_OK;
    }
};

// A widget with a hit rectangle of its own, listening to itself.
class ProbeWidget : public Listening<widget::Widget>
{
public:
    ProbeWidget(std::string name, Journal& journal, const math::Rect& rect = math::Rect())
        : Listening(std::move(name), journal)
    {
        SetLayer(new layer::RectHitLayer(rect), true, false);
        SetListener(static_cast<WidgetListener*>(this), false);
        GetLayer()->SetHitListener(static_cast<WidgetHitTestListener*>(this));
    }
};

// A board over a screen rectangle.
class ProbeBoard : public Journaling<widget::BaseBoard>
{
public:
    ProbeBoard(std::string name, Journal& journal, const math::Rect& rect = math::Rect(0, 0, 100, 100))
        : Journaling(std::move(name), journal)
    {
        SetRect(rect.x, rect.y, rect.w, rect.h);
    }

    QLResultEnum Update(float) override { return Say("update"); }
    QLResultEnum OnManagerAttached() override { return Say("manager+"); }
    QLResultEnum OnManagerDetached() override { return Say("manager-"); }
    QLResultEnum OnActivate() override { return Say("activate"); }
    QLResultEnum OnDeactivate() override { return Say("deactivate"); }
    QLResultEnum OnKeyDown(u32 key) override { return Say("key" + std::to_string(key)); }
    QLResultEnum OnChar(u16 unit) override { return Say("char" + std::to_string(unit)); }
    QLResultEnum OnPress(const math::Point3& p, u32) override { return Act("press"); }
    QLResultEnum OnRelease(const math::Point3&, u32) override { return Act("release"); }
    QLResultEnum OnPointerMove(const math::Point3&) override { return Act("move"); }
    QLResultEnum OnPointerWheel(const math::Point3&, u32 v) override { return Act("wheel" + std::to_string(v)); }

private:
    QLResultEnum Act(const std::string& what)
    {
        mState = mLeave;
        return Say(what);
    }
};

// Lines of the journal that start with a prefix, in order.
inline Journal Filter(const Journal& journal, const std::string& prefix)
{
    Journal out;
    for (const std::string& line : journal)
        if (line.rfind(prefix, 0) == 0)
            out.push_back(line);
    return out;
}
} // namespace widgettest
