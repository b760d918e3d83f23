#include "registry/registry.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <sstream>

#include "node.h"
#include "registry_file.h"

namespace registry {

std::string Folded(std::string_view name)
{
    std::string out(name);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

namespace {

std::vector<std::string> SplitPath(std::string_view path)
{
    std::vector<std::string> parts;
    while (!path.empty()) {
        size_t slash = path.find('\\');
        std::string_view part = path.substr(0, slash);
        if (!part.empty())
            parts.emplace_back(part);
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return parts;
}

void MarkDeleted(Registry::Node& node)
{
    node.deleted = true;
    for (auto& [name, child] : node.children)
        MarkDeleted(*child);
}

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

Registry::Registry(std::filesystem::path path) : path_(std::move(path))
{
    for (HKEY root : {kClassesRoot, kCurrentUser, kLocalMachine})
        roots_[root] = std::make_shared<Node>();
}

std::shared_ptr<Registry> Registry::InMemory()
{
    return std::shared_ptr<Registry>(new Registry({}));
}

std::shared_ptr<Registry> Registry::FromFile(std::filesystem::path path)
{
    std::shared_ptr<Registry> registry(new Registry(std::move(path)));
    std::ifstream in(registry->path_, std::ios::binary);
    if (in) {
        std::stringstream text;
        text << in.rdbuf();
        ReadRegistryText(text.str(), registry->roots_);
    }
    return registry;
}

Registry::~Registry()
{
    std::lock_guard lock(mutex_);
    if (dirty_)
        SaveLocked();
}

Status Registry::Resolve(HKEY key, uint32_t needed, std::shared_ptr<Node>* node) const
{
    if (auto root = roots_.find(key); root != roots_.end()) {
        *node = root->second;
        return win32::kSuccess;
    }
    auto it = handles_.find(key);
    if (it == handles_.end())
        return win32::kInvalidHandle;
    if (it->second.node->deleted)
        return win32::kKeyDeleted;
    if ((it->second.access & needed) != needed)
        return win32::kAccessDenied;
    *node = it->second.node;
    return win32::kSuccess;
}

HKEY Registry::NewHandle(std::shared_ptr<Node> node, uint32_t access)
{
    HKEY handle = nextHandle_++;
    handles_[handle] = {std::move(node), access};
    return handle;
}

Status Registry::CreateKey(HKEY parent, std::string_view path, uint32_t access, HKEY* result,
                           bool* created)
{
    // The file store keeps one key path a line: a control character in a name
    // would come back as another key after a restart.
    if (std::any_of(path.begin(), path.end(), [](unsigned char c) { return c < 0x20; }))
        return win32::kInvalidParameter;
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    if (Status s = Resolve(parent, 0, &node))
        return s;
    bool parentMayCreate = Resolve(parent, kKeyCreateSubKey, &node) == win32::kSuccess;
    bool made = false;
    for (const std::string& part : SplitPath(path)) {
        auto& child = node->children[Folded(part)];
        if (!child) {
            if (!parentMayCreate) {
                node->children.erase(Folded(part));
                return win32::kAccessDenied;
            }
            child = std::make_shared<Node>();
            child->name = part;
            made = true;
            dirty_ = true;
        }
        node = child;
    }
    if (created)
        *created = made;
    *result = NewHandle(node, access);
    return win32::kSuccess;
}

Status Registry::OpenKey(HKEY parent, std::string_view path, uint32_t access, HKEY* result)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    if (Status s = Resolve(parent, 0, &node))
        return s;
    for (const std::string& part : SplitPath(path)) {
        auto it = node->children.find(Folded(part));
        if (it == node->children.end())
            return win32::kFileNotFound;
        node = it->second;
    }
    *result = NewHandle(node, access);
    return win32::kSuccess;
}

Status Registry::CloseKey(HKEY key)
{
    std::lock_guard lock(mutex_);
    if (roots_.count(key))
        return win32::kSuccess;
    return handles_.erase(key) ? win32::kSuccess : win32::kInvalidHandle;
}

Status Registry::DeleteKey(HKEY parent, std::string_view path)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    if (Status s = Resolve(parent, 0, &node))
        return s;
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty())
        return win32::kAccessDenied;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        auto it = node->children.find(Folded(parts[i]));
        if (it == node->children.end())
            return win32::kFileNotFound;
        node = it->second;
    }
    auto it = node->children.find(Folded(parts.back()));
    if (it == node->children.end())
        return win32::kFileNotFound;
    if (!it->second->children.empty())
        return win32::kAccessDenied;
    MarkDeleted(*it->second);
    node->children.erase(it);
    dirty_ = true;
    return win32::kSuccess;
}

Status Registry::SetValue(HKEY key, std::string_view name, ValueType type, const void* data,
                          uint32_t size)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    if (Status s = Resolve(key, kKeySetValue, &node))
        return s;
    if (auto failure = failures_.find(Folded(name)); failure != failures_.end()) {
        Status error = failure->second.error;
        if (--failure->second.count <= 0)
            failures_.erase(failure);
        return error;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    node->values[Folded(name)] = Value{std::string(name), type, {bytes, bytes + size}};
    dirty_ = true;
    return win32::kSuccess;
}

Status Registry::SetDword(HKEY key, std::string_view name, uint32_t value)
{
    uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                        uint8_t(value >> 24)};
    return SetValue(key, name, ValueType::Dword, bytes, 4);
}

Status Registry::SetString(HKEY key, std::string_view name, ValueType type, std::string_view text)
{
    std::string withZero(text);
    return SetValue(key, name, type, withZero.c_str(), static_cast<uint32_t>(withZero.size() + 1));
}

Status Registry::QueryValue(HKEY key, std::string_view name, ValueType* type, void* data,
                            uint32_t* size)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    if (Status s = Resolve(key, kKeyQueryValue, &node))
        return s;
    auto it = node->values.find(Folded(name));
    if (it == node->values.end())
        return win32::kFileNotFound;
    const Value& value = it->second;
    if (type)
        *type = value.type;
    if (!size)
        return data ? win32::kInvalidParameter : win32::kSuccess;
    uint32_t capacity = *size;
    *size = static_cast<uint32_t>(value.data.size());
    if (!data)
        return win32::kSuccess;
    if (capacity < value.data.size())
        return win32::kMoreData;
    std::memcpy(data, value.data.data(), value.data.size());
    return win32::kSuccess;
}

Status Registry::QueryDword(HKEY key, std::string_view name, uint32_t* value)
{
    uint8_t bytes[4];
    uint32_t size = sizeof bytes;
    if (Status s = QueryValue(key, name, nullptr, bytes, &size))
        return s;
    if (size != 4)
        return win32::kMoreData;
    *value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | uint32_t(bytes[3]) << 24;
    return win32::kSuccess;
}

Status Registry::DeleteValue(HKEY key, std::string_view name)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    if (Status s = Resolve(key, kKeySetValue, &node))
        return s;
    if (!node->values.erase(Folded(name)))
        return win32::kFileNotFound;
    dirty_ = true;
    return win32::kSuccess;
}

Status Registry::EnumKey(HKEY key, uint32_t index, char* name, uint32_t* chars)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    if (Status s = Resolve(key, kKeyEnumerateSubKeys, &node))
        return s;
    if (index >= node->children.size())
        return win32::kNoMoreItems;
    const std::string& found = std::next(node->children.begin(), index)->second->name;
    if (found.size() + 1 > *chars)
        return win32::kMoreData;
    std::memcpy(name, found.c_str(), found.size() + 1);
    *chars = static_cast<uint32_t>(found.size());
    return win32::kSuccess;
}

Status Registry::Flush(HKEY key)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    if (Status s = Resolve(key, 0, &node))
        return s;
    return dirty_ ? SaveLocked() : win32::kSuccess;
}

Status Registry::SaveLocked()
{
    if (path_.empty()) {
        dirty_ = false;
        return win32::kSuccess;
    }
    std::error_code ec;
    if (path_.has_parent_path())
        std::filesystem::create_directories(path_.parent_path(), ec);
    std::filesystem::path temp = path_;
    temp += ".tmp" + std::to_string(::getpid());
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return win32::kRegistryIoFailed;
    bool written = WriteAll(fd, WriteRegistryText(roots_)) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temp.c_str(), path_.c_str()) != 0) {
        ::unlink(temp.c_str());
        return win32::kRegistryIoFailed;
    }
    dirty_ = false;
    return win32::kSuccess;
}

void Registry::InjectSetValueFailure(std::string_view name, Status error, int count)
{
    std::lock_guard lock(mutex_);
    failures_[Folded(name)] = {error, count};
}

} // namespace registry
