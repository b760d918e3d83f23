// Every shared library and module exports what its list names and nothing else.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "tests/support/dynamic_exports.h"

namespace {

// The names of a list file: one a line, `#` to the end of a line a comment.
std::set<std::string> Listed(const std::string& path)
{
    std::ifstream in(path);
    std::set<std::string> names;
    for (std::string line; std::getline(in, line);) {
        line = line.substr(0, line.find('#'));
        const auto end = line.find_last_not_of(" \t");
        if (end != std::string::npos)
            names.insert(line.substr(0, end + 1));
    }
    return names;
}

TEST(ExportsTest, EachLibraryExportsItsListOnly)
{
    std::ifstream manifest(ONDULA_EXPORTS_MANIFEST);
    int libraries = 0;
    for (std::string library, list;
         std::getline(manifest, library, '\t') && std::getline(manifest, list); ++libraries) {
        const std::set<std::string> listed = Listed(list);
        EXPECT_FALSE(listed.empty()) << list;
        EXPECT_EQ(ondula::testing::ExportedNames(library), listed) << library;
    }
    EXPECT_GE(libraries, 25);
}

} // namespace
