// The simulated sources behind the TWAIN manager stand-in (twain_32.so), the
// simulated user, the faults tests inject and the counters they read. The
// state lives in libtwainsim.so, which the manager and the tests share.
//
// Without a configuration the manager takes its sources from the environment
// variable ONDULA_TWAIN_SOURCES when an application first opens it: product
// names separated by ',', each a flatbed like the default one (an empty
// value: no source); empty entries are skipped, and a name longer than 33
// characters is reported on the standard error and left out. Unset, it holds one SourceConfig{}:
// "Ondula Scanner".
//
// The page. A transfer of the n-th image since the source was opened (n = 1
// for the first) takes the layout frame at the current resolution and scaling:
// width = round((right - left) x dots an inch x scaling), likewise the height,
// and ICAP_BITDEPTH bits a pixel. Pixel (x, y), counted from the top left of
// the image, holds:
//   1, 4, 8 bits   the palette index (x + y + n) mod 2^bits; the palette is a
//                  grey ramp (entry i: i x 255 / (2^bits - 1) in red, green and
//                  blue) for pixel types bw and gray, otherwise colours (entry
//                  i: red 255 - i, green i, blue 3 i mod 256)
//   16 bits        (256 x + y + n) mod 65536
//   24, 32 bits    red x, green y, blue n, each mod 256 (32: and a zero byte)
//   48 bits        red 256 x + y, green 256 y + n, blue 256 n + x, mod 65536
//   other bits     zero bits, in rows of the size that bit count gives
// A native transfer hands a bitmap (40-byte header, then for 1 to 8 bits the
// palette of 2^bits entries, for 32 bits three colour masks as bit fields,
// then rows padded to 4 bytes, bottom row first unless the source is
// configured top-down); a file transfer writes the same bitmap into a bitmap
// file; a memory transfer sends the rows in strips, top first.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <twain/protocol.h>

#define TWAIN_SIM_API __attribute__((visibility("default")))

namespace twsim {

// One simulated source: what it reports and accepts, and how it behaves.
// Opening it (MSG_OPENDS) starts from these values.
struct SourceConfig {
    std::string product_name = "Ondula Scanner";
    std::string manufacturer = "Ondula";
    std::string product_family = "Flatbed scanner";
    std::vector<TW_UINT16> units = {TWUN_INCHES, TWUN_CENTIMETERS, TWUN_PICAS,
                                    TWUN_POINTS, TWUN_TWIPS,       TWUN_PIXELS};
    double resolution = 100.0; // dots an inch, both axes
    double min_resolution = 50.0;
    double max_resolution = 1200.0;
    double native_resolution = 600.0;
    double physical_width = 8.5; // inches
    double physical_height = 11.0;
    double left = 0.0, top = 0.0, right = 6.4, bottom = 4.8; // layout, inches
    TW_UINT16 pixel_type = TWPT_RGB;
    TW_UINT16 bit_depth = 24; // bits a pixel, 1 to 48 accepted
    std::vector<TW_UINT16> xfer_mechs = {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY};
    TW_UINT16 xfer_mech = TWSX_NATIVE;
    // Capability -> container kind its MSG_GETCURRENT answers (any number);
    // the others answer their own kind.
    std::map<TW_UINT16, TW_UINT16> containers;
    bool needs_user_interface = false;          // MSG_ENABLEDS without it: TWRC_CHECKSTATUS
    bool top_down = false;                      // bitmap rows top first (negative height)
    bool compressed = false;                    // bitmaps and strips marked compressed
    TW_UINT32 strip_rows = 64;                  // rows of a memory strip (the preferred size)
    bool strip_outside = false;                 // the first strip lies below the image
    TW_UINT32 bitmap_cut = 0;                   // a native bitmap's block this much too short
    TW_UINT16 file_format = TWFF_BMP;           // what DAT_SETUPFILEXFER / MSG_GET answers
    std::string file_name = "ondula_twain.bmp"; // likewise
};

// What the simulated user does.
enum class UserAction {
    Transfer,     // take one image
    Cancel,       // press ESC while the image is transferred
    CloseRequest, // close the source's dialog: the source asks to be closed
    Silent,       // nothing, ever: a dead source
};

struct User {
    bool escape_selection = false; // ESC in the source selection dialog
    UserAction action = UserAction::Transfer;
};

// Sources from now on: every open session and source ends, the event queue
// is emptied, and the user, faults and counters start afresh.
TWAIN_SIM_API void Configure(const std::vector<SourceConfig>& sources);
// Back to no configuration: the environment decides at the next MSG_OPENDSM.
TWAIN_SIM_API void ConfigureFromEnvironment();

// The user acts when an application waits for events with a source enabled.
TWAIN_SIM_API void SetUser(const User& user);

// The `nth` call (1: the next) of triplet dg / dat / msg does nothing and
// returns `rc`, leaving `cc` as the condition code DAT_STATUS reports.
TWAIN_SIM_API void FailTriplet(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 rc,
                               TW_UINT16 cc, int nth = 1);

struct Counters {
    int managers;  // applications that opened the manager and did not close it
    int sources;   // sources open
    int handles;   // memory handles alive (twain::LiveGlobalHandles)
    int transfers; // images transferred since the configuration
};
TWAIN_SIM_API Counters Count();

// The identity the last application presented when it opened the manager.
TWAIN_SIM_API TW_IDENTITY LastApplication();

// The path of the file the last file transfer wrote ("" before any).
TWAIN_SIM_API std::string LastFile();

// What the current layout, resolution, scaling and pixel settings of the
// source `product_name` (open in some session) give: a page's geometry in
// inches, for tests that check what an application negotiated.
struct Settings {
    TW_UINT16 units;
    double x_resolution, y_resolution; // dots an inch
    double x_scaling, y_scaling;
    double left, top, right, bottom; // inches
    TW_UINT16 pixel_type;
    TW_UINT16 bit_depth;
};
// False when no such source is open.
TWAIN_SIM_API bool CurrentSettings(const std::string& product_name, Settings* settings);

// One page as the sources make it.
struct Page {
    int32_t width = 0;
    int32_t height = 0;
    TW_UINT16 bits = 24;
    TW_UINT16 pixel_type = TWPT_RGB;
    uint32_t number = 1; // n of the formula
    bool top_down = false;
    bool compressed = false;
};
// The page as a bitmap (header, palette or masks, rows), as a native transfer hands it.
TWAIN_SIM_API std::vector<uint8_t> Bitmap(const Page& page);

} // namespace twsim
