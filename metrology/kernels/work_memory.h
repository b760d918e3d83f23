// One block of scratch memory for a whole computation, handed out in slices.
#pragma once

#include <cstddef>
#include <new>

namespace metrology {

// Allocates `bytes` at once, on transparent huge pages when the block spans at
// least one: fresh memory is paid for page by page on first touch, and a run over a
// megapixel image touches several megabytes. Slices are 64-byte aligned and their
// contents start undefined. Throws std::bad_alloc when memory is short.
class WorkMemory {
public:
    explicit WorkMemory(std::size_t bytes);
    ~WorkMemory();
    WorkMemory(const WorkMemory&) = delete;
    WorkMemory& operator=(const WorkMemory&) = delete;

    // Room a slice of `count` values of T takes, alignment included.
    template <class T> static constexpr std::size_t SliceBytes(std::size_t count)
    {
        return (count * sizeof(T) + kAlignment - 1) / kAlignment * kAlignment;
    }

    // The next unused slice of `count` values of T; throws std::bad_alloc when the
    // block has no room left for it.
    template <class T> T* Take(std::size_t count)
    {
        if (SliceBytes<T>(count) > size_ - used_)
            throw std::bad_alloc();
        T* slice = reinterpret_cast<T*>(block_ + used_);
        used_ += SliceBytes<T>(count);
        return slice;
    }

private:
    static constexpr std::size_t kAlignment = 64;
    static constexpr std::size_t kHugePage = std::size_t(2) << 20;

    std::size_t alignment_;
    std::size_t size_;
    std::byte* block_;
    std::size_t used_ = 0;
};

} // namespace metrology
