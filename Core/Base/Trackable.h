// A base whose lifetime others can observe: member delegates on it go quiet once it is gone.
#pragma once

#include <memory>

namespace base
{
class Trackable
{
public:
    Trackable() : mAlive(std::make_shared<char>(0)) {}
    // A copy is a different object with its own lifetime.
    Trackable(const Trackable&) : Trackable() {}
    Trackable& operator=(const Trackable&) { return *this; }

    // Expires when this object is destroyed.
    std::weak_ptr<const void> GetAliveToken() const { return mAlive; }

protected:
    ~Trackable() = default;

private:
    std::shared_ptr<char> mAlive;
};
} // namespace base
