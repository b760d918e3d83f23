#include "work_memory.h"

#include <sys/mman.h>

namespace metrology {

WorkMemory::~WorkMemory() { Release(); }

void WorkMemory::Prepare(std::size_t bytes)
{
    used_ = 0;
    if (block_ && bytes <= size_ && bytes >= size_ / 2)
        return;
    Release();
    const std::size_t alignment = bytes >= kHugePage ? kHugePage : kAlignment;
    const std::size_t size = (bytes + alignment - 1) / alignment * alignment;
    block_ = static_cast<std::byte*>(::operator new(size, std::align_val_t(alignment)));
    alignment_ = alignment;
    size_ = size;
    if (alignment_ == kHugePage)
        madvise(block_, size_, MADV_HUGEPAGE); // only advice: without it pages are just smaller
}

void WorkMemory::Release()
{
    if (block_)
        ::operator delete(block_, std::align_val_t(alignment_));
    block_ = nullptr;
    size_ = 0;
}

} // namespace metrology
