// The text buffers behind DvlText handles.
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <new>

#include <dvl/dvl.h>
#include <dvl/text_buffer.h>

namespace {

struct Buffer {
    std::unique_ptr<char[]> bytes;
    uint32_t capacity;
};

struct TextBook {
    std::mutex lock;
    DvlText next = 1;
    std::map<DvlText, Buffer> buffers;
};

TextBook& book()
{
    static TextBook instance;
    return instance;
}

} // namespace

extern "C" DvlText DvlTextCreate(uint32_t capacity, const char* initial)
{
    if (capacity == 0)
        return 0;
    std::unique_ptr<char[]> bytes(new (std::nothrow) char[capacity]());
    if (!bytes)
        return 0;
    if (initial)
        std::strncpy(bytes.get(), initial, capacity - 1);
    TextBook& b = book();
    std::lock_guard guard(b.lock);
    DvlText handle = b.next++;
    if (b.next == 0)
        b.next = 1;
    b.buffers[handle] = Buffer{std::move(bytes), capacity};
    return handle;
}

extern "C" char* DvlTextResolve(DvlText text, uint32_t* capacity)
{
    TextBook& b = book();
    std::lock_guard guard(b.lock);
    auto found = b.buffers.find(text);
    if (capacity)
        *capacity = found == b.buffers.end() ? 0 : found->second.capacity;
    return found == b.buffers.end() ? nullptr : found->second.bytes.get();
}

extern "C" void DvlTextFree(DvlText text)
{
    TextBook& b = book();
    std::lock_guard guard(b.lock);
    b.buffers.erase(text);
}

namespace dvl {

TextBuffer::TextBuffer(uint32_t capacity, const char* initial)
    : handle_(DvlTextCreate(capacity, initial))
{
}

TextBuffer::~TextBuffer() { DvlTextFree(handle_); }

TextBuffer::TextBuffer(TextBuffer&& other) noexcept : handle_(other.handle_) { other.handle_ = 0; }

TextBuffer& TextBuffer::operator=(TextBuffer&& other) noexcept
{
    if (this != &other) {
        DvlTextFree(handle_);
        handle_ = other.handle_;
        other.handle_ = 0;
    }
    return *this;
}

std::string TextBuffer::str() const
{
    uint32_t capacity = 0;
    const char* bytes = DvlTextResolve(handle_, &capacity);
    return bytes ? std::string(bytes, strnlen(bytes, capacity)) : std::string();
}

} // namespace dvl
