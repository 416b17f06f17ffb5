#pragma once

#include <cstddef>

namespace mur::test
{

// Counts heap allocations made by the current thread while an instance is
// alive. Linking AllocationCounter.cpp replaces the global operator new.
class ScopedAllocationCounter
{
public:
    ScopedAllocationCounter();
    ~ScopedAllocationCounter();

    std::size_t count() const noexcept;

    ScopedAllocationCounter (const ScopedAllocationCounter&) = delete;
    ScopedAllocationCounter& operator= (const ScopedAllocationCounter&) = delete;

private:
    std::size_t start = 0;
};

} // namespace mur::test
