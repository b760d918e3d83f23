#include "kdlyra_cameras.h"

#include <cstdlib>

#include "workbench/core/acquisition_sources.h"

namespace {
constexpr const char* kCamerasVariable = "ONDULA_KDCAMERAS";
} // namespace

void ListCameraOfSourceFirst(int source)
{
    // Read once, before this function first sets it.
    static const bool chosenByUser = std::getenv(kCamerasVariable) != nullptr;
    if (chosenByUser)
        return;
    setenv(kCamerasVariable,
           source == SourceUsbCameraSmall ? "kdLyra-A2C,kdLyra-A1G" : "kdLyra-A1G,kdLyra-A2C", 1);
}
