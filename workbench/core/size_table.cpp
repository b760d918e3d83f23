#include "size_table.h"

#include <initializer_list>

namespace {

SizeTable Make(std::initializer_list<SizePair> pairs)
{
    SizeTable table{};
    int i = 0;
    for (SizePair p : pairs)
        table[i++] = p;
    return table;
}

} // namespace

SizeTable FillSizeTable(int source, SizePair child)
{
    const SizePair s320{320, 240}, s512{512, 512}, s640{640, 480}, s768{768, 576}, s800{800, 600},
        s1024{1024, 768}, s1280{1280, 1024};
    switch (source) {
    case 0:
    case 2:
        return Make({child, s320, s512, s640, s768, s800, s1024, s1280});
    case 1:
        return Make({s320});
    case 3:
        return Make({s640, s320});
    case 4:
    case 8:
        return Make({s768});
    case 5:
        return Make({s640, s800, s1024});
    case 6:
        return Make({child, s320, s640, s768, s800, s1024, s1280});
    case 7:
        return Make({s640, child, s320, s768, s800, s1024, s1280});
    default:
        return SizeTable{};
    }
}

bool SizeInTable(const SizeTable& table, int width, int height)
{
    for (SizePair p : table)
        if (p.width == width && p.height == height)
            return true;
    return false;
}

int GetSize(const SizeTable& table, int index, int* width, int* height)
{
    if (index >= 0 && index < kSizeTableEntries && table[index].width > 0 &&
        table[index].height > 0) {
        *width = table[index].width;
        *height = table[index].height;
        return 0;
    }
    *width = 640;
    *height = 480;
    return 1;
}

SizePair ChildSizeForFrameWidth(int frameWidth)
{
    int w = frameWidth / 2 - 20;
    return {static_cast<int16_t>(w), static_cast<int16_t>(w * 480 / 640)};
}
