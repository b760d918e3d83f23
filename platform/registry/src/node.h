#pragma once
// The tree behind the registry: keys and values, looked up by lower-case name.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <registry/registry.h>

namespace registry {

struct Value {
    std::string name;
    ValueType type = ValueType::None;
    std::vector<uint8_t> data;
};

// As in the platform registry: keys at most this many levels below their root,
// names at most this many characters.
inline constexpr std::size_t kMaxKeyDepth = 512;
inline constexpr std::size_t kMaxKeyNameLength = 255;

struct Registry::Node {
    Node() = default;
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;
    // Frees the subkeys without recursing, however deep the tree.
    ~Node();

    std::string name;
    std::map<std::string, Value> values;
    std::map<std::string, std::shared_ptr<Node>> children;
    bool deleted = false;
};

/// The lookup form of a key or value name.
std::string Folded(std::string_view name);
/// Marks a key and its subkeys deleted, so handles to them answer kKeyDeleted.
void MarkDeleted(Registry::Node& node);

} // namespace registry
