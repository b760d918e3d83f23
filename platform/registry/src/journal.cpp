#include "journal.h"

namespace registry {
namespace {

using NodePtr = std::shared_ptr<Registry::Node>;

// The key at `key`, made with its missing parents when `create`; null when it
// is missing and not to be made.
NodePtr Walk(RootMap& roots, const Registry::KeyPath& key, bool create)
{
    NodePtr node = roots.at(key.root);
    for (const std::string& name : key.names) {
        auto it = node->children.find(Folded(name));
        if (it == node->children.end()) {
            if (!create)
                return nullptr;
            auto child = std::make_shared<Registry::Node>();
            child->name = name;
            it = node->children.emplace(Folded(name), std::move(child)).first;
        }
        node = it->second;
    }
    return node;
}

void DeleteKey(RootMap& roots, const Registry::KeyPath& key)
{
    Registry::KeyPath parentPath = key;
    parentPath.names.pop_back();
    NodePtr parent = Walk(roots, parentPath, false);
    if (!parent)
        return;
    auto it = parent->children.find(Folded(key.names.back()));
    if (it != parent->children.end() && it->second->children.empty())
        parent->children.erase(it);
}

} // namespace

void Replay(const Registry::Change& change, RootMap& roots)
{
    switch (change.kind) {
    case Registry::Change::CreateKey:
        Walk(roots, change.key, true);
        break;
    case Registry::Change::SetValue:
        Walk(roots, change.key, true)->values[Folded(change.value.name)] = change.value;
        break;
    case Registry::Change::DeleteValue:
        if (NodePtr node = Walk(roots, change.key, false))
            node->values.erase(Folded(change.value.name));
        break;
    case Registry::Change::DeleteKey:
        DeleteKey(roots, change.key);
        break;
    }
}

void Adopt(Registry::Node& mine, Registry::Node& fresh)
{
    mine.name = fresh.name;
    mine.values = std::move(fresh.values);
    for (auto it = mine.children.begin(); it != mine.children.end();) {
        if (fresh.children.count(it->first)) {
            ++it;
            continue;
        }
        MarkDeleted(*it->second);
        it = mine.children.erase(it);
    }
    for (auto& [folded, child] : fresh.children) {
        NodePtr& slot = mine.children[folded];
        if (slot)
            Adopt(*slot, *child);
        else
            slot = child;
    }
}

} // namespace registry
