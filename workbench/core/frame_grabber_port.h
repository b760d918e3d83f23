// The imaging library's frame-grabber calls of the workbench, behind an
// interface so that acquisition runs against a simulated grabber in tests.
#pragma once

#include <string>

#include <verodyn/object.h>
#include <verodyn/status.h>
#include <verodyn/tuple.h>

#include "acquisition_sources.h"

// Every call runs with the library's error check off: failures are answered
// as status numbers, never thrown.
class FrameGrabberPort {
public:
    virtual ~FrameGrabberPort() = default;
    // Opens a frame grabber with `tuple`; the handle in `handle` on success.
    virtual Vstatus Open(const OpenTuple& tuple, long* handle) = 0;
    // Waits for the next image of grabber `handle`; V_OK on success, and
    // `image` is written only then.
    virtual Vstatus GrabImage(Vobject* image, long handle) = 0;
    virtual Vstatus SetParam(long handle, const char* name, const VTuple& value) = 0;
    virtual Vstatus GetParam(long handle, const char* name, VTuple* value) = 0;
    // Asks interface `name` the question `query`; its values in `values`.
    virtual Vstatus Info(const char* name, const char* query, VTuple* values) = 0;
    // Closes grabber `handle`.
    virtual void Close(long handle) = 0;
    // Closes every open frame grabber.
    virtual void CloseAll() = 0;
    // Why the last call on this thread failed, naming the plug-in's file and
    // what went wrong; empty when the port cannot say.
    virtual std::string LastFailure() const { return {}; }
};

// The imaging library's frame grabbers.
FrameGrabberPort& LibraryFrameGrabbers();
