// The command object's growable arrays: storage of `size` elements of which
// `used` are in use. A failed allocation is reported through the board library
// and leaves the array as it was.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "board_report.h"

namespace digdec {

struct HeapAllocator {
    static void* Allocate(std::size_t bytes) { return ::operator new(bytes, std::nothrow); }
    static void Free(void* block) { ::operator delete(block); }
};

template <typename T, typename Alloc = HeapAllocator> class GrowableArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GrowableArray() = default;
    ~GrowableArray() { Alloc::Free(data_); }
    GrowableArray(const GrowableArray&) = delete;
    GrowableArray& operator=(const GrowableArray&) = delete;

    // Resizing to the current size only sets the used count; to 0 or less frees
    // the storage. Otherwise new storage of n fresh elements replaces the old,
    // keeping the first min(used, n) elements when `keep` is set. Returns false
    // on a failed allocation.
    bool Resize(int n, bool keep)
    {
        if (n == size_) {
            used_ = n;
            return true;
        }
        if (n <= 0) {
            Alloc::Free(data_);
            data_ = nullptr;
            size_ = used_ = 0;
            return true;
        }
        T* fresh = static_cast<T*>(Alloc::Allocate(static_cast<std::size_t>(n) * sizeof(T)));
        if (!fresh) {
            ReportOutOfMemory();
            return false;
        }
        std::uninitialized_fill_n(fresh, n, T{});
        if (keep && data_)
            std::memcpy(static_cast<void*>(fresh), data_,
                        static_cast<std::size_t>(std::min(used_, n)) * sizeof(T));
        Alloc::Free(data_);
        data_ = fresh;
        size_ = used_ = n;
        return true;
    }

    int size() const { return size_; }
    int used() const { return used_; }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](int i) { return data_[i]; }
    const T& operator[](int i) const { return data_[i]; }

private:
    T* data_ = nullptr;
    int size_ = 0;
    int used_ = 0;
};

// A new record of the command object's record array is {-1, -1, 0, 0, 0, 0}:
// the parameter it describes, its kind, flags, value size and first two words.
struct ParamRecord {
    int32_t index = -1;
    int32_t kind = -1;
    int32_t flags = 0;
    int32_t size = 0;
    uint32_t word0 = 0;
    uint32_t word1 = 0;
};
static_assert(sizeof(ParamRecord) == 24);

using ByteArray = GrowableArray<uint8_t>;
using RecordArray = GrowableArray<ParamRecord>;

// A table of N entries inside the object that moves to a growable array when
// it must hold more.
template <typename T, int N, typename Alloc = HeapAllocator> class InlineTable {
public:
    // Makes room for at least n entries, keeping the present ones; new entries
    // are T{}. Returns false (table unchanged) when the allocation fails.
    bool Grow(int n)
    {
        if (n <= size_)
            return true;
        if (n > N) {
            const bool was_inside = heap_.size() == 0;
            if (!heap_.Resize(n, true))
                return false;
            if (was_inside)
                std::copy_n(inline_, size_, heap_.data());
        }
        size_ = n;
        return true;
    }

    // Back to N fresh entries inside the object.
    void Clear()
    {
        heap_.Resize(0, false);
        std::fill(inline_, inline_ + N, T{});
        size_ = 0;
    }

    int size() const { return size_; }
    bool inside() const { return size_ <= N; }
    T& operator[](int i) { return size_ <= N ? inline_[i] : heap_[i]; }
    const T& operator[](int i) const { return size_ <= N ? inline_[i] : heap_[i]; }

private:
    T inline_[N]{};
    GrowableArray<T, Alloc> heap_;
    int size_ = 0;
};

} // namespace digdec
