#include "instances.h"

#include <map>

namespace verodyn::fg {

namespace {

struct Table {
    std::mutex lock;
    std::map<long, std::shared_ptr<Grabber>> grabbers;
    long next_handle = 1;
};

// Never destroyed, like the interfaces its grabbers point into.
Table& table()
{
    static Table* t = new Table;
    return *t;
}

} // namespace

long add_grabber(std::shared_ptr<Grabber> grabber)
{
    Table& t = table();
    std::lock_guard guard(t.lock);
    const long handle = t.next_handle++;
    t.grabbers.emplace(handle, std::move(grabber));
    return handle;
}

std::shared_ptr<Grabber> find_grabber(long handle)
{
    Table& t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.grabbers.find(handle);
    return it == t.grabbers.end() ? nullptr : it->second;
}

std::shared_ptr<Grabber> take_grabber(long handle)
{
    Table& t = table();
    std::lock_guard guard(t.lock);
    const auto it = t.grabbers.find(handle);
    if (it == t.grabbers.end())
        return nullptr;
    auto grabber = std::move(it->second);
    t.grabbers.erase(it);
    return grabber;
}

std::vector<long> open_handles()
{
    Table& t = table();
    std::lock_guard guard(t.lock);
    std::vector<long> handles;
    for (const auto& entry : t.grabbers)
        handles.push_back(entry.first);
    return handles;
}

} // namespace verodyn::fg
