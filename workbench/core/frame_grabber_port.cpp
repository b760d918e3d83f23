#include "frame_grabber_port.h"

#include <string>

#include <verodyn/framegrabber.h>

#include <imageproc/quiet_library.h>

namespace {

class LibraryGrabbers : public FrameGrabberPort {
public:
    Vstatus Open(const OpenTuple& t, long* handle) override
    {
        QuietLibrary quiet;
        const auto& v = t.values;
        return open_framegrabber(VTuple(t.name), v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7],
                                 v[8], v[9], v[10], v[11], v[12], v[13], v[14], handle);
    }
    Vstatus GrabImage(Vobject* image, long handle) override
    {
        QuietLibrary quiet;
        return grab_image(image, handle);
    }
    Vstatus SetParam(long handle, const char* name, const VTuple& value) override
    {
        QuietLibrary quiet;
        return set_framegrabber_param(handle, name, value);
    }
    Vstatus GetParam(long handle, const char* name, VTuple* value) override
    {
        QuietLibrary quiet;
        return get_framegrabber_param(handle, name, value);
    }
    Vstatus Info(const char* name, const char* query, VTuple* values) override
    {
        QuietLibrary quiet;
        std::string text;
        return info_framegrabber(name, query, &text, values);
    }
    void Close(long handle) override
    {
        QuietLibrary quiet;
        close_framegrabber(handle);
    }
    void CloseAll() override
    {
        QuietLibrary quiet;
        close_all_framegrabbers();
    }
    std::string LastFailure() const override { return vlast_error(); }
};

} // namespace

FrameGrabberPort& LibraryFrameGrabbers()
{
    static LibraryGrabbers grabbers;
    return grabbers;
}
