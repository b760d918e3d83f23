#include <fgint/channels.h>

#include <cstring>

namespace fg {

FGstatus SetChannelsOfColourSpace(FGInstance* fginst)
{
    if (std::strcmp(fginst->color_space, "gray") == 0)
        fginst->num_channels = 1;
    else if (std::strcmp(fginst->color_space, "rgb") == 0)
        fginst->num_channels = 3;
    else
        return FG_ERR_COLOR_SPACE;
    return FG_SUCCESS;
}

} // namespace fg
