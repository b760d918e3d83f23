// Scoped switches of the imaging library's check mode. Each scope gives back
// the whole mode it found when it ends, also by an exception, so that scopes
// nest and an inner one never changes the mode of an outer one.
#pragma once

#include <verodyn/status.h>

// Sets one flag of the check mode (a set_check text) for one scope.
class CheckModeScope {
public:
    explicit CheckModeScope(const char* setting)
        : m_bGiveError(check_give_error()), m_bFather(check_father())
    {
        set_check(setting);
    }
    ~CheckModeScope()
    {
        set_check(m_bGiveError ? "give_error" : "~give_error");
        set_check(m_bFather ? "father" : "~father");
    }
    CheckModeScope(const CheckModeScope&) = delete;
    CheckModeScope& operator=(const CheckModeScope&) = delete;

private:
    bool m_bGiveError;
    bool m_bFather;
};

// The library's failures arrive as status numbers, which the caller checks,
// instead of exceptions.
class QuietLibrary : public CheckModeScope {
public:
    QuietLibrary() : CheckModeScope("~give_error") { }
};
