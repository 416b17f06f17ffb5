#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local std::size_t allocations = 0;
thread_local int activeCounters = 0;

void* allocate (std::size_t size)
{
    if (activeCounters > 0)
        ++allocations;

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}

void* allocateAligned (std::size_t size, std::align_val_t alignment)
{
    if (activeCounters > 0)
        ++allocations;

    const auto align = static_cast<std::size_t> (alignment);
    const auto rounded = ((size == 0 ? 1 : size) + align - 1) / align * align;

    if (auto* p = std::aligned_alloc (align, rounded))
        return p;

    throw std::bad_alloc();
}
} // namespace

namespace mur::test
{
ScopedAllocationCounter::ScopedAllocationCounter() : start (allocations) { ++activeCounters; }
ScopedAllocationCounter::~ScopedAllocationCounter() { --activeCounters; }
std::size_t ScopedAllocationCounter::count() const noexcept { return allocations - start; }
} // namespace mur::test

void* operator new (std::size_t size) { return allocate (size); }
void* operator new[] (std::size_t size) { return allocate (size); }
void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    try { return allocate (size); } catch (...) { return nullptr; }
}
void* operator new (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }
void* operator new[] (std::size_t size, std::align_val_t a) { return allocateAligned (size, a); }

void operator delete (void* p) noexcept { std::free (p); }
void operator delete[] (void* p) noexcept { std::free (p); }
void operator delete (void* p, std::size_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t) noexcept { std::free (p); }
void operator delete (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::align_val_t) noexcept { std::free (p); }
void operator delete (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }
void operator delete[] (void* p, std::size_t, std::align_val_t) noexcept { std::free (p); }
