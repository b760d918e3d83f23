// What the tick-driven acquisition sequences act on, each behind a small
// interface: the instrument that shifts the phase, the live acquisition of the
// camera document, the frame of the current source, and the documents and
// status the user sees.
#pragma once

#include <cstdint>
#include <string>

namespace acquisition {

// The instrument between the frames. Each action sets it going and returns
// the text for the status, empty for none. A move that takes long goes on
// piece by piece, one MoveTick() every MoveTickMs(), while Moving(): the
// program keeps running meanwhile, and a move left unfinished leaves the
// instrument where its last piece put it.
class PhaseInstrument {
public:
    virtual ~PhaseInstrument() = default;
    virtual bool Moving() const { return false; }
    virtual void MoveTick() { }
    virtual int MoveTickMs() const { return 0; }
    // Once live acquisition has started.
    virtual std::string Rest() = 0;
    // Step k (1..4) of the four.
    virtual std::string Step(int k) = 0;
    // Back to the first or rest position after the fourth frame.
    virtual std::string Return() = 0;
    // A failure that ends the run at once (a move that did not end): its
    // message, empty while none.
    virtual std::string Broken() const { return {}; }
    // A failure that lets the run finish with unshifted frames (a supply that
    // does not answer, a missing card): its message, shown at the end in place
    // of the success text; empty while none.
    virtual std::string Fault() const { return {}; }
};

// Live acquisition of the camera document.
class LiveAcquisition {
public:
    virtual ~LiveAcquisition() = default;
    // Starts it; false when it did not start. A start made earlier may
    // answer for it, and its camera may have been lost since: IsRunning says.
    virtual bool Start() = 0;
    // Ends it, keeping the last frame.
    virtual void Stop() = 0;
    // True while the camera document acquires.
    virtual bool IsRunning() const = 0;
};

// The current frame of the acquisition source.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    // Writes the frame as a grey plane of the sequence's width x height; false
    // when no frame of that size could be had.
    virtual bool Grab(std::uint8_t* plane) = 0;
    // Why the last grab failed when a frame came but could not be brought to
    // the sequence's size; empty otherwise.
    virtual std::string Failure() const { return {}; }
};

// The status after a failed grab from `frames`: its failure, else the
// live-acquisition message.
std::string GrabFailureText(const FrameSource& frames);

// Where the sequences show what they do.
class SequenceView {
public:
    virtual ~SequenceView() = default;
    virtual void SetStatus(const std::string& text) = 0;
    // A frame shown under `name` (UTF-8) in the result document.
    virtual void ShowPlane(const std::uint8_t* plane, const std::string& name) = 0;
    // The phase just computed, shown in the result document under its own
    // numbered name ("ImPhasee%d").
    virtual void ShowPhase(const std::uint8_t* plane) = 0;
};

// The ports a sequence acts on.
struct SequencePorts {
    PhaseInstrument& instrument;
    LiveAcquisition& live;
    FrameSource& frames;
    SequenceView& view;
};

} // namespace acquisition
