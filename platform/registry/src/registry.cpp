#include <registry/registry.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <base/files.h>
#include <base/text_case.h>

#include "handle_numbers.h"
#include "journal.h"
#include "locked_file.h"
#include "node.h"
#include "registry_file.h"

namespace registry {

std::string Folded(std::string_view name) { return ondula::lowered_utf8(name); }

Registry::Node::~Node()
{
    std::vector<std::shared_ptr<Node>> doomed;
    auto take_children = [&doomed](Node& node) {
        for (auto& [folded, child] : node.children)
            doomed.push_back(std::move(child));
        node.children.clear();
    };
    take_children(*this);
    while (!doomed.empty()) {
        std::shared_ptr<Node> node = std::move(doomed.back());
        doomed.pop_back();
        // A key still held elsewhere (an open handle) keeps its subkeys.
        if (node.use_count() == 1)
            take_children(*node);
    }
}

void MarkDeleted(Registry::Node& node)
{
    node.deleted = true;
    for (auto& [name, child] : node.children)
        MarkDeleted(*child);
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

} // namespace

Registry::Registry(std::filesystem::path path, ondula::Clock& clock)
    : path_(std::move(path)), clock_(&clock), roots_(EmptyRoots())
{
}

std::shared_ptr<Registry> Registry::InMemory()
{
    return std::shared_ptr<Registry>(new Registry({}, ondula::SteadyClock()));
}

std::shared_ptr<Registry> Registry::FromFile(std::filesystem::path path, ondula::Clock& clock)
{
    std::shared_ptr<Registry> registry(new Registry(std::move(path), clock));
    std::error_code missing;
    if (!std::filesystem::exists(registry->path_, missing))
        return registry;
    std::string text, error;
    if (ondula::read_regular_file(registry->path_, SIZE_MAX, &text, &error))
        ReadRegistryText(text, registry->roots_, registry->path_);
    else
        std::fprintf(stderr, "registry: %s\n", error.c_str());
    return registry;
}

Registry::~Registry()
{
    std::lock_guard lock(mutex_);
    if (!journal_.empty())
        SaveLocked();
}

Status Registry::Resolve(HKEY key, uint32_t needed, std::shared_ptr<Node>* node,
                         KeyPath* where) const
{
    if (auto root = roots_.find(key); root != roots_.end()) {
        *node = root->second;
        if (where)
            *where = {key, {}};
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
    if (where)
        *where = it->second.where;
    return win32::kSuccess;
}

HKEY Registry::NewHandle(std::shared_ptr<Node> node, uint32_t access, KeyPath where)
{
    const HKEY handle = TakeHandleNumber(&nextHandle_, handles_);
    handles_[handle] = {std::move(node), access, std::move(where)};
    return handle;
}

void Registry::Record(Change change)
{
    if (!path_.empty())
        journal_.push_back(std::move(change));
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
    KeyPath where;
    if (Status s = Resolve(parent, 0, &node, &where))
        return s;
    const std::vector<std::string> parts = SplitPath(path);
    if (where.names.size() + parts.size() > kMaxKeyDepth ||
        std::any_of(parts.begin(), parts.end(),
                    [](const std::string& part) { return part.size() > kMaxKeyNameLength; }))
        return win32::kInvalidParameter;
    bool parentMayCreate = Resolve(parent, kKeyCreateSubKey, &node) == win32::kSuccess;
    bool made = false;
    for (const std::string& part : parts) {
        auto& child = node->children[Folded(part)];
        if (!child) {
            if (!parentMayCreate) {
                node->children.erase(Folded(part));
                return win32::kAccessDenied;
            }
            child = std::make_shared<Node>();
            child->name = part;
            made = true;
        }
        node = child;
        where.names.push_back(node->name);
    }
    if (made)
        Record({Change::CreateKey, where, {}});
    if (created)
        *created = made;
    *result = NewHandle(node, access, std::move(where));
    return win32::kSuccess;
}

Status Registry::OpenKey(HKEY parent, std::string_view path, uint32_t access, HKEY* result)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyPath where;
    if (Status s = Resolve(parent, 0, &node, &where))
        return s;
    for (const std::string& part : SplitPath(path)) {
        auto it = node->children.find(Folded(part));
        if (it == node->children.end())
            return win32::kFileNotFound;
        node = it->second;
        where.names.push_back(node->name);
    }
    *result = NewHandle(node, access, std::move(where));
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
    KeyPath where;
    if (Status s = Resolve(parent, 0, &node, &where))
        return s;
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty())
        return win32::kAccessDenied;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        auto it = node->children.find(Folded(parts[i]));
        if (it == node->children.end())
            return win32::kFileNotFound;
        node = it->second;
        where.names.push_back(node->name);
    }
    auto it = node->children.find(Folded(parts.back()));
    if (it == node->children.end())
        return win32::kFileNotFound;
    if (!it->second->children.empty())
        return win32::kAccessDenied;
    where.names.push_back(it->second->name);
    MarkDeleted(*it->second);
    node->children.erase(it);
    Record({Change::DeleteKey, std::move(where), {}});
    return win32::kSuccess;
}

Status Registry::SetValue(HKEY key, std::string_view name, ValueType type, const void* data,
                          uint32_t size)
{
    std::lock_guard lock(mutex_);
    std::shared_ptr<Node> node;
    KeyPath where;
    if (Status s = Resolve(key, kKeySetValue, &node, &where))
        return s;
    if (auto failure = failures_.find(Folded(name)); failure != failures_.end()) {
        Status error = failure->second.error;
        if (--failure->second.count <= 0)
            failures_.erase(failure);
        return error;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    Value value{std::string(name), type, {bytes, bytes + size}};
    node->values[Folded(name)] = value;
    Record({Change::SetValue, std::move(where), std::move(value)});
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
    // An empty value has no storage to copy from.
    if (!value.data.empty())
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
    KeyPath where;
    if (Status s = Resolve(key, kKeySetValue, &node, &where))
        return s;
    if (!node->values.erase(Folded(name)))
        return win32::kFileNotFound;
    Record({Change::DeleteValue, std::move(where), Value{std::string(name), {}, {}}});
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
    return journal_.empty() ? win32::kSuccess : SaveLocked();
}

Status Registry::SaveLocked()
{
    std::error_code ec;
    if (path_.has_parent_path())
        std::filesystem::create_directories(path_.parent_path(), ec);
    LockedFile file(path_, *clock_);
    std::string text;
    if (!file.Held() || !file.Read(&text))
        return win32::kRegistryIoFailed;
    RootMap merged = EmptyRoots();
    ReadRegistryText(text, merged, path_);
    for (const Change& change : journal_)
        Replay(change, merged);
    if (!file.Replace(WriteRegistryText(merged)))
        return win32::kRegistryIoFailed;
    for (auto& [hkey, root] : roots_)
        Adopt(*root, *merged.at(hkey));
    journal_.clear();
    return win32::kSuccess;
}

void Registry::InjectSetValueFailure(std::string_view name, Status error, int count)
{
    std::lock_guard lock(mutex_);
    failures_[Folded(name)] = {error, count};
}

} // namespace registry
