#include "frame_grabber_port.h"

#include <verodyn/framegrabber.h>

namespace {

class LibraryGrabbers : public FrameGrabberPort {
public:
    Vstatus GrabImage(Vobject* image, long handle) override { return grab_image(image, handle); }
    void CloseAll() override { close_all_framegrabbers(); }
};

} // namespace

FrameGrabberPort& LibraryFrameGrabbers()
{
    static LibraryGrabbers grabbers;
    return grabbers;
}
