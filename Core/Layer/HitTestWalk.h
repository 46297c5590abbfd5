// The hit-test walk over a layer tree: top-most child first, down to the first listener that
// handles the event. One process-wide delegate per event kind delivers it to the listener.
#pragma once

#include "Core/Base/Delegate.h"
#include "Core/Layer/HitTestListener.h"
#include "Core/Layer/MouseEvents.h"

namespace layer
{
template <class Event> using HitTestDelegate = base::Delegate2<HitTestParam&, const Event&, QLResultEnum>;

// The delegate of an event kind (down, up, move, drag, wheel): copies the param into the
// listener, calls its handler (the linked one for linked params) and copies the state back.
HitTestDelegate<OnMouseDown>& GetDownDelegate();
HitTestDelegate<OnMouseUp>& GetUpDelegate();
HitTestDelegate<OnMouseMove>& GetMoveDelegate();
HitTestDelegate<OnMouseDrag>& GetDragDelegate();
HitTestDelegate<OnMouseWheel>& GetWheelDelegate();

// The outcome of one walk.
struct HitTestResult
{
    QLResultEnum result = QL_OK;       // a listener's non-zero result, passed on unchanged
    HitTestState state = HIT_CONTINUE; // HIT_HANDLED when a listener took the event
    Layer* hitLayer = nullptr;
    math::Point3 hitPoint;
};

// Walks the tree under root with a point of the space the root sits in. The caller updates the
// tree bounds first (Layer::UpdateTreeBounds). A double click walks with the down event.
// After each direct notification, the ancestors whose listener has the kind's bit in its link
// mask hear of it through the linked handler, nearest first.
HitTestResult WalkHitTest(Layer* root, const math::Point3& point, const OnMouseDown& event);
HitTestResult WalkHitTest(Layer* root, const math::Point3& point, const OnMouseUp& event);
HitTestResult WalkHitTest(Layer* root, const math::Point3& point, const OnMouseMove& event);
HitTestResult WalkHitTest(Layer* root, const math::Point3& point, const OnMouseDrag& event);
HitTestResult WalkHitTest(Layer* root, const math::Point3& point, const OnMouseWheel& event);
} // namespace layer
