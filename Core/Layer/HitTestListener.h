// What a layer's hit listener hears of the hit-test walk, and the record of one notification.
#pragma once

#include "Core/Base/Types.h"
#include "Core/Render/Point.h"

namespace layer
{
class Layer;
class HitTestListener;

// States of the walk: a listener ends the search, lets it continue below, or declines.
enum class HitTestState : i32
{
    HIT_HANDLED = 0,
    HIT_CONTINUE = 1,
    HIT_DECLINED = 2, // leave the notified layer's subtree
};
using enum HitTestState;

// Link-mask bits, one per event kind.
enum HitTestLink : u32
{
    LINK_DOWN = 1u << 0,
    LINK_UP = 1u << 1,
    LINK_DOUBLE_CLICK = 1u << 2,
    LINK_MOVE = 1u << 3,
    LINK_DRAG = 1u << 4,
    LINK_WHEEL = 1u << 5,
};

struct HitTestParam
{
    Layer* mHitLayer = nullptr;
    math::Point3 mHitPoint; // in the hit layer's space
    Layer* mNotifiedLayer = nullptr;
    math::Point3 mPoint; // in the notified layer's space
    HitTestListener* mListener = nullptr;
    HitTestState mState = HIT_CONTINUE;
    bool mLinked = false;
    bool mHandledBelow = false;
};

class HitTestListener
{
public:
    HitTestListener() = default;
    virtual ~HitTestListener() = default;

    virtual QLResultEnum OnDown(const math::Point3& point, u32 button) { return QL_OK; }
    virtual QLResultEnum OnUp(const math::Point3& point, u32 button) { return QL_OK; }
    virtual QLResultEnum OnDoubleClick(const math::Point3& point, u32 button) { return QL_OK; }
    virtual QLResultEnum OnMove(const math::Point3& point) { return QL_OK; }
    virtual QLResultEnum OnDrag(const math::Point3& point) { return QL_OK; }
    virtual QLResultEnum OnWheel(const math::Point3& point, u32 value) { return QL_OK; }
    virtual QLResultEnum OnLinkedDown(const math::Point3& point, u32 button) { return QL_OK; }
    virtual QLResultEnum OnLinkedUp(const math::Point3& point, u32 button) { return QL_OK; }
    virtual QLResultEnum OnLinkedDoubleClick(const math::Point3& point, u32 button) { return QL_OK; }
    virtual QLResultEnum OnLinkedMove(const math::Point3& point) { return QL_OK; }
    virtual QLResultEnum OnLinkedDrag(const math::Point3& point) { return QL_OK; }
    virtual QLResultEnum OnLinkedWheel(const math::Point3& point, u32 value) { return QL_OK; }

    // Copied from the notification just before each handler runs; the handler may change the
    // state, which goes back to the walk when it returns 0.
    Layer* mHitLayer = nullptr;
    Layer* mNotifiedLayer = nullptr;
    math::Point3 mPoint;
    HitTestState mState = HIT_HANDLED;
    bool mHandledBelow = false;
    u32 mLinkMask = 0;
};
} // namespace layer
