// The manager's state: the sources configured, the applications that opened
// the manager (sessions) with the sources each opened, and the event queue.
// One lock guards all of it.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

#include <twain/simulation.h>

namespace twsim::detail {

// A source opened by a session. States: 4 open, 5 enabled, 6 an image ready,
// 7 transferring.
struct OpenSource {
    TW_UINT32 id = 0; // index in the configuration + 1
    const SourceConfig* config = nullptr;
    int state = 4;
    TW_UINT16 condition = TWCC_SUCCESS;
    TW_UINT16 units = TWUN_INCHES;
    double x_dpi = 0, y_dpi = 0;
    double x_scaling = 1, y_scaling = 1;
    double left = 0, top = 0, right = 0, bottom = 0; // inches
    TW_UINT16 pixel_type = TWPT_RGB;
    TW_UINT16 bit_depth = 24;
    TW_UINT16 xfer_mech = TWSX_NATIVE;
    TW_UINT16 light_path = TWLP_REFLECTIVE;
    double brightness = 0, contrast = 0, gamma = 2.2, highlight = 255, shadow = 0;
    uint32_t transfers = 0;    // images since the open
    bool user_pending = false; // enabled; the user has not acted yet
    bool cancel = false;       // the user cancels the transfer under way
    int32_t next_row = 0;      // memory transfer: the next row to send
    std::string file_name;     // file transfer: where the bitmap goes
    TW_UINT16 file_format = TWFF_BMP;
};

struct Session {
    TW_UINT16 condition = TWCC_SUCCESS;
    size_t next_listed = 0; // MSG_GETNEXT's next source
    std::vector<OpenSource> sources;
};

struct Fault {
    int calls_to_go;
    TW_UINT16 rc;
    TW_UINT16 cc;
};

struct Manager {
    std::mutex lock;
    bool configured = false;
    std::vector<SourceConfig> configs;
    User user;
    std::map<std::tuple<TW_UINT32, TW_UINT16, TW_UINT16>, std::vector<Fault>> faults;
    std::map<TW_UINT32, Session> sessions; // by application Id
    TW_UINT32 next_application = 1;
    TW_UINT16 unopened_condition = TWCC_SUCCESS; // of applications without a session
    std::deque<DSM_MESSAGE> queue;
    int transfers = 0;
    std::string last_file;
    TW_IDENTITY last_application{};
};

Manager& TheManager();

// The configuration in force, read from the environment when there is none.
// Under the lock.
void EnsureConfigured(Manager& m);

// The manager's entry and event queue, for twain_32.so.
TWAIN_SIM_API TW_UINT16 Entry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                              TW_UINT16 msg, TW_MEMREF data);
TWAIN_SIM_API TW_UINT16 WaitEvent(DSM_MESSAGE* message, TW_UINT32 milliseconds);

// A triplet addressed to an open source (source.cpp), under the lock; sets
// the source's condition code on failure.
TW_UINT16 SourceEntry(Manager& m, OpenSource& source, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                      TW_MEMREF data);
// Settings of a source at its open.
void ResetSource(OpenSource& source);
// The user acts on an enabled source: posts its message, if any.
void UserActs(Manager& m, OpenSource& source);

// Units of `units` in one inch, along an axis of `dpi` dots an inch.
double UnitsPerInch(TW_UINT16 units, double dpi);
// Capabilities (capabilities.cpp): the current value as a new container, and
// a value set from the application's container. A TWCC_* code.
TW_UINT16 GetCapability(const OpenSource& source, TW_CAPABILITY* capability);
TW_UINT16 SetCapability(OpenSource& source, const TW_CAPABILITY& capability);

// The page the source would transfer now (n = its next transfer's number).
Page NextPage(const OpenSource& source);
// Pages (page.cpp).
int32_t RowBytes(int32_t width, int bits);                // unpadded
int32_t PaddedRowBytes(int32_t width, int bits);          // to 4 bytes
void StripRow(const Page& page, int32_t y, uint8_t* out); // red first, unpadded
void Palette(const Page& page, TW_PALETTE8* palette);     // 256 entries for more than 8 bits
std::vector<uint8_t> BitmapFile(const Page& page);        // a bitmap file of Bitmap(page)

} // namespace twsim::detail
