// Error contexts and recorded reports of the simulated board library.
#include <map>
#include <mutex>

#include <dvl/dvl.h>
#include <dvl/reports.h>

namespace {

struct ReportBook {
    std::mutex lock;
    DvlErrorContext next = 1;
    std::map<DvlErrorContext, dvl::Report> open;
    std::vector<dvl::Report> raised;
};

ReportBook& book()
{
    static ReportBook instance;
    return instance;
}

std::string text_or_empty(const char* text) { return text ? text : ""; }

} // namespace

extern "C" DvlErrorContext DvlOpenErrorContext(const char* origin, int32_t a1, int32_t a2,
                                               int32_t a3, int32_t a4, int32_t a5, int32_t flags,
                                               int32_t reserved)
{
    ReportBook& b = book();
    std::lock_guard guard(b.lock);
    DvlErrorContext context = b.next++;
    dvl::Report& report = b.open[context];
    report.origin = text_or_empty(origin);
    report.open_args = {a1, a2, a3, a4, a5, flags, reserved};
    report.ordinals.push_back(DVL_ORD_OPEN_ERROR_CONTEXT);
    return context;
}

extern "C" DvlStatus DvlAddErrorMessage(DvlErrorContext context, int32_t code, const char* title,
                                        const char* text, int32_t a1, int32_t a2)
{
    ReportBook& b = book();
    std::lock_guard guard(b.lock);
    auto found = b.open.find(context);
    if (found == b.open.end())
        return DVL_UNKNOWN_CONTEXT;
    dvl::Report& report = found->second;
    report.code = code;
    report.title = text_or_empty(title);
    report.text = text_or_empty(text);
    report.message_args = {a1, a2};
    report.ordinals.push_back(DVL_ORD_ADD_ERROR_MESSAGE);
    return DVL_OK;
}

extern "C" DvlStatus DvlRaiseError(DvlErrorContext context)
{
    ReportBook& b = book();
    std::lock_guard guard(b.lock);
    auto found = b.open.find(context);
    if (found == b.open.end())
        return DVL_UNKNOWN_CONTEXT;
    found->second.ordinals.push_back(DVL_ORD_RAISE_ERROR);
    b.raised.push_back(std::move(found->second));
    b.open.erase(found);
    return DVL_OK;
}

namespace dvl {

std::vector<Report> RecordedReports()
{
    ReportBook& b = book();
    std::lock_guard guard(b.lock);
    return b.raised;
}

void ClearRecordedReports()
{
    ReportBook& b = book();
    std::lock_guard guard(b.lock);
    b.raised.clear();
}

} // namespace dvl
