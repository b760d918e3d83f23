// The acquisition sources: their codes, how the imaging library's frame
// grabbers are opened for them, what the source commands check, and the
// messages of a failed start.
#pragma once

#include <array>
#include <string>
#include <vector>

#include <verodyn/status.h>
#include <verodyn/tuple.h>

// The codes count from 0; "config.dat" keeps them.
enum AcquisitionSource : int {
    SourceNone,
    SourceTwain,
    SourceVfw,
    SourceDirectShow,
    SourceZephon2,
    SourceIeee1394,
    SourceUsbCameraLarge,
    SourceUsbCameraSmall,
    SourceTalvo,
};
static_assert(SourceTalvo == 8);

// Sources reached through the imaging library's frame grabbers: 1, 3 to 7.
bool IsLibrarySource(int source);

// The open parameters of a library source: the interface name, then the 15
// values in the library's order (horizontal and vertical resolution, image
// width and height, start row and column, field, bits per channel, colour
// space, gain, external trigger, camera type, device, port, line in).
struct OpenTuple {
    std::string name;
    std::array<VTuple, 15> values;
};

// What the open parameters depend on.
struct OpenInputs {
    int documentWidth = 0;  // DirectShow's camera type
    int documentHeight = 0; //
    int defaultWidth = 0;   // the IEEE-1394 camera type
    float cameraGain = 0;   // the USB camera's gain
};

// The open parameters of `source`; false for a source that is not a library one.
bool OpenTupleFor(int source, const OpenInputs& inputs, OpenTuple* tuple);

// The IEEE-1394 camera type for a default width: 640 "0:5:4", 800 "1:2:2",
// 1024 "1:5:4", any other "default".
const char* Ieee1394CameraType(int defaultWidth);

// The part of the image a live library source displays: rows 0..rows,
// columns 0..columns.
struct DisplayedPart {
    int rows = 0;
    int columns = 0;
};
DisplayedPart LiveDisplayedPart(int source, int defaultWidth, int defaultHeight);

// The message of a failed start of sources 2 to 7 (UTF-8); empty for TWAIN,
// whose failed open is silent.
std::string StartFailureMessage(int source);
// The Talvo board's start messages: its initialisation failed with `code`
// (the size it reported), its continuous grab failed with `code`.
std::string TalvoInitFailureMessage(int width, int height, int code);
std::string TalvoAcqFailureMessage(int code);

// A source command of the menu: the source it chooses and, for some, what the
// library is asked first and the message when the answer says no.
struct SourceCommand {
    int id;
    int source;
    bool closesGrabbers;        // every frame grabber is closed first
    const char* probeInterface; // null: no question
    const char* probeQuery;
    const char* probeFailure; // UTF-8
};
// The nine source commands.
const std::vector<SourceCommand>& SourceCommands();
// The command of `id`, or null.
const SourceCommand* FindSourceCommand(int id);
// The source a command leaves after the library answered its question with
// `status` and `values`: its own when the answer says yes, else 0.
int SourceAfterProbe(const SourceCommand& command, Vstatus status, const VTuple& values);
// True when an "info_boards" answer lists a camera (some non-empty value).
bool ListsACamera(const VTuple& boards);
