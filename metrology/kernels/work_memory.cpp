#include "kernels/work_memory.h"

#include <sys/mman.h>

namespace metrology {

WorkMemory::WorkMemory(std::size_t bytes)
    : size_((bytes + kHugePage - 1) / kHugePage * kHugePage),
      block_(static_cast<std::byte*>(::operator new(size_, std::align_val_t(kHugePage))))
{
    if (size_ >= kHugePage)
        madvise(block_, size_, MADV_HUGEPAGE); // only advice: without it pages are just smaller
}

WorkMemory::~WorkMemory()
{
    ::operator delete(block_, std::align_val_t(kHugePage));
}

} // namespace metrology
