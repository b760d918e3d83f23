#pragma once
// Text form of a registry: one "[root\key\path]" line per key, then one line per
// value: "name"=dword:0000abcd, "name"=sz:"text", "name"=expand:"text" or
// "name"=hex(type):0a,0b. A key without values whose subkeys are written has no
// line of its own. Unreadable lines are skipped when loading; a key deeper or
// with a longer name than the registry allows is reported on the standard
// error with `source` (the file's name) and the line, and skipped with its values.
#include <map>
#include <memory>
#include <string>

#include "node.h"

namespace registry {

using RootMap = std::map<HKEY, std::shared_ptr<Registry::Node>>;

/// The three predefined roots, empty.
RootMap EmptyRoots();

std::string WriteRegistryText(const RootMap& roots);
void ReadRegistryText(const std::string& text, RootMap& roots, const std::string& source);

} // namespace registry
