#include <kdtorvane/component.h>

#include <cstdlib>
#include <cstring>

#include <kdtorvane/exceptions.h>

namespace kdTORVANE::acquire {

namespace {

// Text buffers start at this size and double while the manager finds them too
// small, up to the last size.
constexpr int32_t kFirstTextSize = 256;
constexpr int32_t kLastTextSize = 1 << 20;

char* CopyText(const char* text, int32_t length)
{
    auto* copy = static_cast<char*>(std::malloc(size_t(length)));
    if (copy)
        std::memcpy(copy, text, size_t(length));
    return copy;
}

// The name of `component` into `name`; the manager's result.
int32_t ReadName(HOBJ component, std::string* name)
{
    char* text = nullptr;
    const int32_t result = kdComponentText(component, KD_TEXT_NAME, CopyText, &text);
    *name = text ? text : "";
    std::free(text);
    return result;
}

// What `operation(&value)` answers about `component`.
template <typename T, typename Operation> T Answered(HOBJ component, Operation&& operation)
{
    T value{};
    Check(operation(&value), component);
    return value;
}

// What `read(component, &value)` answers.
template <typename T> T Answered(HOBJ component, int32_t (*read)(HOBJ, T*))
{
    return Answered<T>(component, [&](T* value) { return read(component, value); });
}

// Runs `read(size)` with text buffers of `size` bytes, doubling them while the
// manager answers that they are too small.
template <typename Read> void WithTextBuffers(HOBJ component, Read&& read)
{
    for (int32_t size = kFirstTextSize;; size *= 2) {
        const int32_t result = read(size);
        if (result != KD_ERR_INPUT_BUFFER_TOO_SMALL || size >= kLastTextSize) {
            Check(result, component);
            return;
        }
    }
}

} // namespace

void Check(int32_t result, HOBJ component)
{
    if (result != KD_OK)
        Raise(result, NameOf(component));
}

void Require(int32_t result, const std::string& text)
{
    if (result != KD_OK)
        throw TorvaneAcquireException(text, result);
}

std::string NameOf(HOBJ component)
{
    std::string name;
    return ReadName(component, &name) == KD_OK ? name : "";
}

ComponentAccess::ComponentAccess(HOBJ handle) : handle_(handle)
{
    if (kdCheckHandle(handle, 1) != KD_OK)
        Raise(KD_ERR_INVALID_LIST_ID, "");
}

std::string ComponentAccess::name() const
{
    std::string name;
    Check(ReadName(handle_, &name), handle_);
    return name;
}

int32_t ComponentAccess::type() const { return Answered(handle_, kdTypeFlags); }

int32_t ComponentAccess::access() const { return Answered(handle_, kdAccessFlags); }

HOBJ ComponentAccess::NextSibling() const { return Answered(handle_, kdNextSibling); }

PropertyAccess::PropertyAccess(HOBJ handle) : ComponentAccess(handle)
{
    if (!(type() & KD_TYPE_PROPERTY))
        Raise(KD_ERR_NOT_A_PROPERTY, name());
}

int32_t PropertyAccess::ValueCount() const { return Answered(handle_, kdValueCount); }

bool PropertyAccess::HasValue(int32_t index) const
{
    return Answered<int32_t>(handle_,
                             [&](int32_t* has) { return kdHasValue(handle_, index, has); }) != 0;
}

int32_t PropertyAccess::DictionarySize() const { return Answered(handle_, kdDictionarySize); }

int32_t PropertyAccess::ReadInt(int32_t index) const
{
    return Answered<int32_t>(handle_,
                             [&](int32_t* value) { return kdReadInt(handle_, value, index); });
}

int64_t PropertyAccess::ReadInt64(int32_t index) const
{
    return Answered<int64_t>(handle_,
                             [&](int64_t* value) { return kdReadInt64(handle_, value, index); });
}

void PropertyAccess::WriteInt(int32_t value, int32_t index) const
{
    Check(kdWriteInt(handle_, value, index), handle_);
}

double PropertyAccess::ReadReal(int32_t index) const
{
    return Answered<double>(handle_,
                            [&](double* value) { return kdReadReal(handle_, value, index); });
}

void PropertyAccess::WriteReal(double value, int32_t index) const
{
    Check(kdWriteReal(handle_, value, index), handle_);
}

std::string PropertyAccess::ReadText(int32_t index) const
{
    std::vector<char> buffer;
    WithTextBuffers(handle_, [&](int32_t size) {
        buffer.assign(size_t(size), '\0');
        return kdReadText(handle_, buffer.data(), size, index);
    });
    return buffer.data();
}

void PropertyAccess::WriteText(const std::string& text, int32_t index) const
{
    Check(kdWriteText(handle_, text.c_str(), index), handle_);
}

std::vector<std::string> PropertyAccess::DictionaryTexts() const
{
    const auto count = size_t(DictionarySize());
    const bool real = type() == KD_TYPE_REAL;
    std::vector<char> storage;
    std::vector<char*> texts(count);
    WithTextBuffers(handle_, [&](int32_t size) {
        storage.assign(count * size_t(size), '\0');
        for (size_t i = 0; i < count; ++i)
            texts[i] = storage.data() + i * size_t(size);
        if (real) {
            std::vector<double> values(count);
            return kdReadRealDictionary(handle_, texts.data(), size, values.data(), int32_t(count));
        }
        std::vector<int32_t> values(count);
        return kdReadIntDictionary(handle_, texts.data(), size, values.data(), int32_t(count));
    });
    return std::vector<std::string>(texts.begin(), texts.end());
}

ListAccess::ListAccess(HOBJ handle) : ComponentAccess(handle)
{
    if (type() != KD_TYPE_LIST)
        Raise(KD_ERR_NOT_A_LIST, name());
}

int32_t ListAccess::Count() const { return Answered(handle_, kdListCount); }

int32_t ListAccess::ChangeCounter() const { return Answered(handle_, kdChangeCounter); }

HOBJ ListAccess::FirstChild() const { return Answered(handle_, kdFirstChild); }

HOBJ ListAccess::Find(const std::string& name) const
{
    HOBJ found = KD_INVALID_HANDLE;
    Check(kdFindComponent(handle_, name.c_str(), KD_FIND_PROPERTIES | KD_FIND_LISTS, &found),
          handle_);
    return found;
}

void ListAccess::Reset() const { Check(kdResetList(handle_), handle_); }

} // namespace kdTORVANE::acquire
