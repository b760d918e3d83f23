#include "save_rules.h"

#include <base/text_case.h>

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix)
{
    if (text.size() < suffix.size())
        return false;
    return ondula::equal_ignoring_case(std::string_view(text).substr(text.size() - suffix.size()),
                                       suffix);
}

} // namespace

SavePlan PlanSave(const std::string& path, int kind)
{
    SavePlan plan;
    if (IsFftKind(kind)) {
        plan.refused = true;
        return plan;
    }
    plan.path = path;
    if (EndsWithNoCase(path, ".tif") || EndsWithNoCase(path, ".tiff")) {
        plan.format = "tiff";
    } else if (EndsWithNoCase(path, ".jpg") || EndsWithNoCase(path, ".jpeg")) {
        plan.format = "jpeg30";
    } else {
        plan.format = "tiff";
        plan.path += ".tif";
    }
    return plan;
}

bool ReplacesDeeperFile(const std::string& target, const std::string& readFrom, int bitsPerSample)
{
    return bitsPerSample > kWrittenBitsPerSample && !readFrom.empty() && target == readFrom;
}

std::string FileNameOf(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
