#include <atomic>

#include <fgint/fgint.h>
#include <verodyn/extension.h>
#include <verodyn/status.h>

namespace {

std::atomic<bool> g_give_error{true};
std::atomic<bool> g_father{true};
thread_local std::string t_last_error;

} // namespace

const char* verror_text(Vstatus status)
{
    switch (status) {
#define VERODYN_STATUS_CASE(name, number, text)                                                    \
    case number:                                                                                   \
        return text;
        VERODYN_STATUS_TABLE(VERODYN_STATUS_CASE)
        FG_STATUS_TABLE(VERODYN_STATUS_CASE)
#undef VERODYN_STATUS_CASE
    }
    return "unknown error";
}

std::string vlast_error() { return t_last_error; }

Vstatus set_check(const char* text)
{
    const std::string value = text ? text : "";
    if (value == "give_error")
        g_give_error = true;
    else if (value == "~give_error")
        g_give_error = false;
    else if (value == "father")
        g_father = true;
    else if (value == "~father")
        g_father = false;
    else
        return verodyn::report(VERR_PARAM, "set_check", value);
    return V_OK;
}

bool check_give_error() { return g_give_error; }
bool check_father() { return g_father; }

namespace verodyn {

Vstatus report(Vstatus status, const char* op, const std::string& detail)
{
    if (status == V_OK)
        return status;
    t_last_error = std::string(op) + ": " + verror_text(status);
    if (!detail.empty())
        t_last_error += ": " + detail;
    if (g_give_error)
        throw VException(status, t_last_error);
    return status;
}

} // namespace verodyn
