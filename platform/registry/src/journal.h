#pragma once
// The changes a file-backed store made since it last wrote its file, and how
// they are replayed on the file's current content (rules in registry.h).
#include "node.h"
#include "registry_file.h"

namespace registry {

struct Registry::Change {
    enum Kind { CreateKey, DeleteKey, SetValue, DeleteValue } kind;
    KeyPath key;
    Value value; // SetValue: the value; DeleteValue: only its name
};

void Replay(const Registry::Change& change, RootMap& roots);
/// Makes `mine` hold what `fresh` holds, keeping the nodes of the keys both
/// hold (open handles point to them) and marking the others deleted.
void Adopt(Registry::Node& mine, Registry::Node& fresh);

} // namespace registry
