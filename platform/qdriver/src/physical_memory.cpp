#include "physical_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <qdriver/address_table.h>

namespace qdriver {
namespace {

bool InRange(uint32_t address, uint32_t length)
{
    return length > 0 && uint64_t(address) + length <= PhysicalMemory::kSize;
}

} // namespace

MappedView::MappedView(void* base, size_t size, uint8_t* address)
    : base_(base),
      size_(size),
      token_(RegisterAddress(address, size - size_t(address - static_cast<uint8_t*>(base))))
{
}

MappedView::~MappedView()
{
    ReleaseAddress(token_);
    ::munmap(base_, size_);
}

PhysicalMemory::PhysicalMemory() : fd_(::memfd_create("qdriver-physical", MFD_CLOEXEC))
{
    if (fd_ >= 0 && ::ftruncate(fd_, off_t(kSize)) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

PhysicalMemory::~PhysicalMemory()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::unique_ptr<MappedView> PhysicalMemory::Map(uint32_t address, uint32_t length) const
{
    if (fd_ < 0 || !InRange(address, length))
        return nullptr;
    const uint64_t page = uint64_t(::sysconf(_SC_PAGESIZE));
    const uint64_t first = address / page * page;
    const uint64_t size = uint64_t(address) + length - first;
    void* base = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, off_t(first));
    if (base == MAP_FAILED)
        return nullptr;
    return std::make_unique<MappedView>(base, size,
                                        static_cast<uint8_t*>(base) + (address - first));
}

// A memory file reads and writes whole ranges within its size.
bool PhysicalMemory::Read(uint32_t address, void* data, uint32_t length) const
{
    return length == 0 || (fd_ >= 0 && InRange(address, length) &&
                           ::pread(fd_, data, length, off_t(address)) == ssize_t(length));
}

bool PhysicalMemory::Write(uint32_t address, const void* data, uint32_t length)
{
    return length == 0 || (fd_ >= 0 && InRange(address, length) &&
                           ::pwrite(fd_, data, length, off_t(address)) == ssize_t(length));
}

} // namespace qdriver
