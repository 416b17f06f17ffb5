#pragma once

#include <mutex>
#include <utility>

namespace mur
{

// A value that the message thread and a host's own thread (restoring a
// project) may both read and write. Readers get a copy. Never used on the
// audio thread.
template <typename T>
class Guarded
{
public:
    T get() const
    {
        const std::scoped_lock lock (mutex);
        return value;
    }

    void set (T newValue)
    {
        const std::scoped_lock lock (mutex);
        value = std::move (newValue);
    }

private:
    mutable std::mutex mutex;
    T value {};
};

} // namespace mur
