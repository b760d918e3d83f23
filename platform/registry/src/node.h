#pragma once
// The tree behind the registry: keys and values, looked up by lower-case name.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "registry/registry.h"

namespace registry {

struct Value {
    std::string name;
    ValueType type = ValueType::None;
    std::vector<uint8_t> data;
};

struct Registry::Node {
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
