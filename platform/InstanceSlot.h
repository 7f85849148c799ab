#pragma once
// The replaceable instance behind each stand-in: a test's double when one is set, else the
// real implementation, made on first use. Internal to the platform library.

namespace platform {

template <class I, class Real>
struct InstanceSlot {
    I* current = nullptr;
    I& get()
    {
        if (current)
            return *current;
        static Real real;
        return real;
    }
};

} // namespace platform
