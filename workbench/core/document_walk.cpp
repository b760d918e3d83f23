#include "document_walk.h"

std::vector<int> DocumentWalk(int count, int active, bool includeActive)
{
    std::vector<int> order;
    if (count <= 0 || active < 0 || active >= count)
        return order;
    for (int step = includeActive ? 0 : 1; step < count; ++step) {
        if (static_cast<int>(order.size()) == kDocumentListSize)
            break;
        order.push_back((active + step) % count);
    }
    return order;
}
