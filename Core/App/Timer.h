// Frame timer: seconds between two updates, measured in double precision and kept as float.
#pragma once

#include "Core/Base/Types.h"

namespace app
{
class TimerBase
{
public:
    virtual ~TimerBase() = default;
    virtual void Init() = 0;
    virtual void Update() = 0;
    float mDelta = 0;
};

class TimerLocal : public TimerBase
{
};

class TimerLocalWin32 : public TimerLocal
{
public:
    void Init() override;
    void Update() override;

    u64 mFrequency = 1;
    u64 mLast = 0;

private:
    static u64 Counter();
};
} // namespace app
