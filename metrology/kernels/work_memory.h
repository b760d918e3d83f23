// One block of scratch memory for a whole computation, handed out in slices and
// kept for the next one.
#pragma once

#include <cstddef>
#include <new>

namespace metrology {

// The block lies on transparent huge pages when it spans at least one: fresh
// memory is paid for page by page on first touch, and a run over a megapixel image
// touches several megabytes. Slices are 64-byte aligned and their contents start
// undefined.
class WorkMemory {
public:
    WorkMemory() = default;
    ~WorkMemory();
    WorkMemory(const WorkMemory&) = delete;
    WorkMemory& operator=(const WorkMemory&) = delete;

    // Hands out the block from its start again, made to hold `bytes`. The block
    // in hand is kept when it holds them and is at most twice as large, so that a
    // run over a smaller image gives memory back. Throws std::bad_alloc when
    // memory is short, leaving no block.
    void Prepare(std::size_t bytes);

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

    void Release();

    std::size_t alignment_ = kAlignment;
    std::size_t size_ = 0;
    std::byte* block_ = nullptr;
    std::size_t used_ = 0;
};

} // namespace metrology
