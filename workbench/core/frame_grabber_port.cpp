#include "frame_grabber_port.h"

#include <verodyn/framegrabber.h>

#include "quiet_library.h"

namespace {

class LibraryGrabbers : public FrameGrabberPort {
public:
    Vstatus GrabImage(Vobject* image, long handle) override
    {
        QuietLibrary quiet;
        return grab_image(image, handle);
    }
    void CloseAll() override
    {
        QuietLibrary quiet;
        close_all_framegrabbers();
    }
};

} // namespace

FrameGrabberPort& LibraryFrameGrabbers()
{
    static LibraryGrabbers grabbers;
    return grabbers;
}
