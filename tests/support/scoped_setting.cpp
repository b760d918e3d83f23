#include "scoped_setting.h"

#include <cstdlib>

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
