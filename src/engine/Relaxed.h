#pragma once

#include <atomic>

namespace mur
{

// A value that one thread writes and another reads without a lock. Loads and
// stores are relaxed atomics: free on the platforms we build for, and they
// make explicit which plain values cross threads (a torn or stale read of a
// display value is acceptable, a data race is not).
template <typename T>
class Relaxed
{
public:
    Relaxed() noexcept = default;
    Relaxed (T initial) noexcept : value (initial) {}
    Relaxed (const Relaxed& other) noexcept : value (other.get()) {}

    Relaxed& operator= (T newValue) noexcept
    {
        value.store (newValue, std::memory_order_relaxed);
        return *this;
    }

    Relaxed& operator= (const Relaxed& other) noexcept { return *this = other.get(); }

    // For counters with a single writer: a plain read-modify-write.
    Relaxed& operator++() noexcept { return *this = static_cast<T> (get() + 1); }

    T get() const noexcept { return value.load (std::memory_order_relaxed); }
    operator T() const noexcept { return get(); }

private:
    std::atomic<T> value {};
    static_assert (std::atomic<T>::is_always_lock_free);
};

} // namespace mur
