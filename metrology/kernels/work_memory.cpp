#include "work_memory.h"

#include <sys/mman.h>

namespace metrology {

WorkMemory::WorkMemory(std::size_t bytes)
    : alignment_(bytes >= kHugePage ? kHugePage : kAlignment),
      size_((bytes + alignment_ - 1) / alignment_ * alignment_),
      block_(static_cast<std::byte*>(::operator new(size_, std::align_val_t(alignment_))))
{
    if (alignment_ == kHugePage)
        madvise(block_, size_, MADV_HUGEPAGE); // only advice: without it pages are just smaller
}

WorkMemory::~WorkMemory() { ::operator delete(block_, std::align_val_t(alignment_)); }

} // namespace metrology
