// The generic hit-test walk and the event delegates.
#include "Core/Layer/HitTestWalk.h"

#include "Core/Layer/Layer.h"

#include <vector>

namespace layer
{
namespace
{
struct Node
{
    math::Point3 point; // in this node's layer's space
    Layer* layer = nullptr;
    HitTestListener* listener = nullptr;
    Node* nearest = nullptr; // the closest enclosing node with a listener
};

// The link-mask bit of each event kind (a double click walks as a press).
template <class Event> constexpr u32 kLinkBit = 0;
template <> constexpr u32 kLinkBit<OnMouseDown> = LINK_DOWN;
template <> constexpr u32 kLinkBit<OnMouseUp> = LINK_UP;
template <> constexpr u32 kLinkBit<OnMouseMove> = LINK_MOVE;
template <> constexpr u32 kLinkBit<OnMouseDrag> = LINK_DRAG;
template <> constexpr u32 kLinkBit<OnMouseWheel> = LINK_WHEEL;

template <class Event> struct WalkState
{
    const Event* event = nullptr;
    HitTestDelegate<Event>* delegate = nullptr;
    HitTestState state = HIT_CONTINUE;
    math::Point3 hitPoint;
    Layer* hitLayer = nullptr;
    Layer* declining = nullptr;
};

void CopyIn(HitTestListener& listener, const HitTestParam& param)
{
    listener.mHitLayer = param.mHitLayer;
    listener.mNotifiedLayer = param.mNotifiedLayer;
    listener.mPoint = param.mPoint;
    listener.mState = param.mState;
    listener.mHandledBelow = param.mHandledBelow;
}

// Runs the handler and, on success, hands the listener's state back to the walk.
template <class Call> QLResultEnum Deliver(HitTestParam& param, Call call)
{
    HitTestListener* listener = param.mListener;
    if (!listener)
        return QL_OK;
    CopyIn(*listener, param);
    if (QLResultEnum r = call(*listener))
        return r;
    param.mState = listener->mState;
    return QL_OK;
}

QLResultEnum HandleDown(HitTestParam& param, const OnMouseDown& event)
{
    return Deliver(
        param, [&](HitTestListener& l)
        { return param.mLinked ? l.OnLinkedDown(param.mPoint, event.button) : l.OnDown(param.mPoint, event.button); });
}

QLResultEnum HandleUp(HitTestParam& param, const OnMouseUp& event)
{
    return Deliver(
        param, [&](HitTestListener& l)
        { return param.mLinked ? l.OnLinkedUp(param.mPoint, event.button) : l.OnUp(param.mPoint, event.button); });
}

QLResultEnum HandleMove(HitTestParam& param, const OnMouseMove&)
{
    return Deliver(param, [&](HitTestListener& l)
                   { return param.mLinked ? l.OnLinkedMove(param.mPoint) : l.OnMove(param.mPoint); });
}

QLResultEnum HandleDrag(HitTestParam& param, const OnMouseDrag&)
{
    return Deliver(param, [&](HitTestListener& l)
                   { return param.mLinked ? l.OnLinkedDrag(param.mPoint) : l.OnDrag(param.mPoint); });
}

QLResultEnum HandleWheel(HitTestParam& param, const OnMouseWheel& event)
{
    const u32 value = event.value;
    return Deliver(param, [&](HitTestListener& l)
                   { return param.mLinked ? l.OnLinkedWheel(param.mPoint, value) : l.OnWheel(param.mPoint, value); });
}

bool InParentBox(const math::Box& box, const math::Point3& p)
{
    return box.minX <= p.x && p.x < box.maxX && box.minY <= p.y && p.y < box.maxY && p.z >= box.minZ;
}

bool InOwnBox(const math::Box& box, const math::Point3& p)
{
    return box.minX <= p.x && p.x < box.maxX && box.minY <= p.y && p.y < box.maxY && p.z <= box.minZ;
}

// Ancestors of the notified layer that asked for this kind hear of the hit, nearest first. They
// only listen: what they leave in the state does not steer the walk.
template <class Event>
QLResultEnum NotifyLinked(const Node& notified, const HitTestParam& direct, WalkState<Event>& walk)
{
    for (Node* node = notified.nearest; node; node = node->nearest)
    {
        if (!(node->listener->mLinkMask & kLinkBit<Event>))
            continue;
        HitTestParam param = direct;
        param.mNotifiedLayer = node->layer;
        param.mPoint = node->point;
        param.mListener = node->listener;
        param.mState = walk.state;
        param.mLinked = true;
        param.mHandledBelow = walk.state == HIT_HANDLED;
        if (QLResultEnum r = walk.delegate->Invoke(param, *walk.event))
            return r;
    }
    return QL_OK;
}

template <class Event> QLResultEnum Walk(Layer* layer, Node& parent, WalkState<Event>& walk)
{
    if (!layer->mVisible || (!layer->mHitTestable && !layer->mWalkThrough))
        return QL_OK;
    if (!InParentBox(layer->mParentBox, parent.point))
        return QL_OK;
    Node node;
    node.layer = layer;
    node.listener = layer->mHitListener;
    node.nearest = parent.listener ? &parent : parent.nearest;

    if (layer->IsFlat())
    {
        node.point = layer->PointToLocal(parent.point);
        // A copy: a handler may change the children while the walk is inside them.
        const std::vector<Layer*> children(layer->ChildrenBegin(), layer->ChildrenEnd());
        for (auto it = children.rbegin(); it != children.rend(); ++it)
        {
            if (QLResultEnum r = Walk(*it, node, walk))
                return r;
            if (walk.state == HIT_HANDLED)
                return QL_OK;
            if (walk.state == HIT_DECLINED)
            {
                if (walk.declining != layer)
                    return QL_OK;
                walk.state = HIT_CONTINUE;
                walk.declining = nullptr;
                break;
            }
        }
    }

    Node* notified = layer->mHitListener ? &node : node.nearest;
    if (!notified || !layer->mHasOwnBounds || !InOwnBox(layer->mOwnBox, node.point) || !layer->mHitTestable ||
        !layer->HitTest(node.point))
        return QL_OK;

    walk.state = HIT_HANDLED;
    walk.hitPoint = node.point;
    walk.hitLayer = layer;
    walk.declining = nullptr;
    HitTestParam param;
    param.mHitLayer = layer;
    param.mHitPoint = node.point;
    param.mNotifiedLayer = notified->layer;
    param.mPoint = notified->point;
    param.mListener = notified->listener;
    param.mState = walk.state;
    if (QLResultEnum r = walk.delegate->Invoke(param, *walk.event))
        return r;
    walk.state = param.mState;
    if (walk.state == HIT_DECLINED)
        walk.declining = notified->layer;
    return NotifyLinked(*notified, param, walk);
}

template <class Event>
HitTestResult Run(Layer* root, const math::Point3& point, const Event& event, HitTestDelegate<Event>& delegate)
{
    HitTestResult out;
    if (!root)
        return out;
    Node top;
    top.point = point;
    top.layer = root;
    WalkState<Event> walk;
    walk.event = &event;
    walk.delegate = &delegate;
    out.result = Walk(root, top, walk);
    out.state = walk.state;
    out.hitLayer = walk.hitLayer;
    out.hitPoint = walk.hitPoint;
    return out;
}
} // namespace

HitTestDelegate<OnMouseDown>& GetDownDelegate()
{
    static base::StaticDelegate2<HitTestParam&, const OnMouseDown&, QLResultEnum> delegate(&HandleDown);
    return delegate;
}

HitTestDelegate<OnMouseUp>& GetUpDelegate()
{
    static base::StaticDelegate2<HitTestParam&, const OnMouseUp&, QLResultEnum> delegate(&HandleUp);
    return delegate;
}

HitTestDelegate<OnMouseMove>& GetMoveDelegate()
{
    static base::StaticDelegate2<HitTestParam&, const OnMouseMove&, QLResultEnum> delegate(&HandleMove);
    return delegate;
}

HitTestDelegate<OnMouseDrag>& GetDragDelegate()
{
    static base::StaticDelegate2<HitTestParam&, const OnMouseDrag&, QLResultEnum> delegate(&HandleDrag);
    return delegate;
}

HitTestDelegate<OnMouseWheel>& GetWheelDelegate()
{
    static base::StaticDelegate2<HitTestParam&, const OnMouseWheel&, QLResultEnum> delegate(&HandleWheel);
    return delegate;
}

HitTestResult WalkHitTest(Layer* root, const math::Point3& point, const OnMouseDown& event)
{
    return Run(root, point, event, GetDownDelegate());
}

HitTestResult WalkHitTest(Layer* root, const math::Point3& point, const OnMouseUp& event)
{
    return Run(root, point, event, GetUpDelegate());
}

HitTestResult WalkHitTest(Layer* root, const math::Point3& point, const OnMouseMove& event)
{
    return Run(root, point, event, GetMoveDelegate());
}

HitTestResult WalkHitTest(Layer* root, const math::Point3& point, const OnMouseDrag& event)
{
    return Run(root, point, event, GetDragDelegate());
}

HitTestResult WalkHitTest(Layer* root, const math::Point3& point, const OnMouseWheel& event)
{
    return Run(root, point, event, GetWheelDelegate());
}
} // namespace layer
