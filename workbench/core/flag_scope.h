// A flag set for one scope, such as a timer handler's busy flag.
#pragma once

// Sets the flag for one scope, and clears it also when the scope ends by an
// exception, so that a failed tick does not block every later one.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};
