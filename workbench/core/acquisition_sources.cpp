#include "acquisition_sources.h"

#include <cstdio>
#include <cstring>

#include "command_ids.h"

namespace {

// The values every library source opens with, with those it sets itself left
// to the caller: resolution 1 x 1, the full image from (0, 0), the default
// field, the default bits per channel.
OpenTuple Common(const char* name, const char* colorSpace, VTuple gain, const char* trigger,
                 std::string cameraType, const char* device, int port, int lineIn)
{
    return {name,
            {VTuple(1), VTuple(1), VTuple(0), VTuple(0), VTuple(0), VTuple(0), VTuple("default"),
             VTuple(-1), VTuple(colorSpace), gain, VTuple(trigger), VTuple(std::move(cameraType)),
             VTuple(device), VTuple(port), VTuple(lineIn)}};
}

std::string Format(const char* pattern, int a, int b = 0, int c = 0)
{
    char text[200];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

} // namespace

bool IsLibrarySource(int source) { return source == SourceTwain || (source >= 3 && source <= 7); }

const char* Ieee1394CameraType(int defaultWidth)
{
    switch (defaultWidth) {
    case 640:
        return "0:5:4";
    case 800:
        return "1:2:2";
    case 1024:
        return "1:5:4";
    default:
        return "default";
    }
}

bool OpenTupleFor(int source, const OpenInputs& in, OpenTuple* tuple)
{
    switch (source) {
    case SourceTwain:
        *tuple = Common("TWAIN", "default", VTuple(-1.0), "default", "interactive:inches",
                        "interactive", -1, 1);
        return true;
    case SourceDirectShow:
        *tuple =
            Common("DirectShow", "rgb", VTuple(-1.0), "false",
                   Format("PAL RGB24 (%dx%d)", in.documentWidth, in.documentHeight), "0", -1, -1);
        return true;
    case SourceZephon2:
        *tuple =
            Common("ZephonII", "default", VTuple(-1.0), "false", "D_CCIR", "ZEPHON_II:0", -1, 1);
        return true;
    case SourceIeee1394:
        *tuple = Common("1394IIDC", "default", VTuple(-1), "default",
                        Ieee1394CameraType(in.defaultWidth), "default", -1, -1);
        return true;
    case SourceUsbCameraLarge:
    case SourceUsbCameraSmall:
        *tuple = Common("KandrisAcquire", "default", VTuple(double(in.cameraGain)), "false",
                        "kdLyra*", "0", 0, -1);
        return true;
    default:
        return false;
    }
}

DisplayedPart LiveDisplayedPart(int source, int defaultWidth, int defaultHeight)
{
    if (source == SourceUsbCameraLarge)
        return {1024, 1280};
    if (source == SourceUsbCameraSmall)
        return {480, 640};
    return {defaultHeight, defaultWidth};
}

std::string StartFailureMessage(int source)
{
    switch (source) {
    case SourceVfw:
        return "Caméra USB Video for Windows non trouvée !";
    case SourceDirectShow:
        return "Caméra USB Direct Show non trouvée !";
    case SourceZephon2:
        return "Carte Dravik ZephonII non trouvée !";
    case SourceIeee1394:
        return "Caméra Firewire sur port IEEE1394 non trouvée !";
    case SourceUsbCameraLarge:
    case SourceUsbCameraSmall:
        return "Caméra USB Kandris kdLyra non trouvée sur port n°0 !";
    default:
        return {};
    }
}

std::string TalvoInitFailureMessage(int width, int height, int code)
{
    return Format("Carte Dravik Talvo (%dx%d) non trouvée ou déjà adressée !\n"
                  "Erreur InitTalvo() n°%d.",
                  width, height, code);
}

std::string TalvoAcqFailureMessage(int code)
{
    return Format("Erreur sur fonction acquisition permanente !\nErreur AcqPermTalvo() n°%d.",
                  code);
}

const std::vector<SourceCommand>& SourceCommands()
{
    static const std::vector<SourceCommand> commands = {
        {ID_SOURCE_NONE, SourceNone, false, nullptr, nullptr, nullptr},
        {ID_SOURCE_TWAIN, SourceTwain, true, "TWAIN", "parameters", "Pilote twain non trouvé !"},
        {ID_SOURCE_VFW, SourceVfw, true, nullptr, nullptr, nullptr},
        {ID_SOURCE_DIRECTSHOW, SourceDirectShow, true, nullptr, nullptr, nullptr},
        {ID_SOURCE_ZEPHON2, SourceZephon2, true, nullptr, nullptr, nullptr},
        {ID_SOURCE_IEEE1394, SourceIeee1394, true, "1394IIDC", "info_boards",
         "Caméra firewire sur port IEEE non trouvée !"},
        {ID_SOURCE_USB_LARGE, SourceUsbCameraLarge, true, nullptr, nullptr, nullptr},
        {ID_SOURCE_USB_SMALL, SourceUsbCameraSmall, true, nullptr, nullptr, nullptr},
        {ID_SOURCE_TALVO, SourceTalvo, true, nullptr, nullptr, nullptr},
    };
    return commands;
}

const SourceCommand* FindSourceCommand(int id)
{
    for (const SourceCommand& c : SourceCommands())
        if (c.id == id)
            return &c;
    return nullptr;
}

bool ListsACamera(const VTuple& boards)
{
    for (std::size_t i = 0; i < boards.length(); ++i)
        if (!boards[i].is_text() || !boards[i].S().empty())
            return true;
    return false;
}

int SourceAfterProbe(const SourceCommand& command, Vstatus status, const VTuple& values)
{
    if (!command.probeInterface)
        return command.source;
    const bool boards = std::strcmp(command.probeQuery, "info_boards") == 0;
    return status == V_OK && (!boards || ListsACamera(values)) ? command.source : SourceNone;
}
