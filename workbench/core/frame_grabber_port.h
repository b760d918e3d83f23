// The frame-grabber calls of the live loop, behind an interface so that the
// loop can run against a simulated grabber.
#pragma once

#include <verodyn/object.h>
#include <verodyn/status.h>

// Failures are answered as status numbers, never thrown.
class FrameGrabberPort {
public:
    virtual ~FrameGrabberPort() = default;
    // Waits for the next image of grabber `handle`; V_OK on success, and
    // `image` is written only then.
    virtual Vstatus GrabImage(Vobject* image, long handle) = 0;
    // Closes every open frame grabber.
    virtual void CloseAll() = 0;
};

// The imaging library's frame grabbers.
FrameGrabberPort& LibraryFrameGrabbers();
