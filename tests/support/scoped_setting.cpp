#include "scoped_setting.h"

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

ScopedVariable::ScopedVariable(const char* name, const char* value) : name_(name)
{
    if (const char* before = std::getenv(name))
        before_ = before;
    Set(value);
}

ScopedVariable::~ScopedVariable() { Set(before_ ? before_->c_str() : nullptr); }

void ScopedVariable::Set(const char* value)
{
    if (value)
        setenv(name_.c_str(), value, 1);
    else
        unsetenv(name_.c_str());
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::filesystem::path& folder)
    : before_(std::filesystem::current_path())
{
    std::filesystem::current_path(folder);
}

ScopedCurrentFolder::~ScopedCurrentFolder()
{
    std::error_code ignored;
    std::filesystem::current_path(before_, ignored);
}

ScopedDecimalComma::ScopedDecimalComma()
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("ondula-comma-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "comma.src")
        << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \"\"\ngrouping -1\nEND LC_NUMERIC\n";
    const std::string build = "localedef -c -i " + (dir / "comma.src").string() +
                              " -f ANSI_X3.4-1968 " + (dir / "comma").string() + " >/dev/null 2>&1";
    std::system(build.c_str());
    {
        ScopedVariable path("LOCPATH", dir.c_str());
        made_ = std::setlocale(LC_NUMERIC, "comma") != nullptr;
    }
    fs::remove_all(dir);
}

ScopedDecimalComma::~ScopedDecimalComma() { std::setlocale(LC_NUMERIC, "C"); }
