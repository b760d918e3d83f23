// The data source manager as the plug-in reaches it: the library loaded at an
// open, the application's and the source's identities, the triplets sent to
// either, and the failure texts printed while the host asks for low-level
// errors. One per process: the plug-in has one instance at a time.
#pragma once

#include <initializer_list>
#include <string>

#include <twain/protocol.h>

namespace vfgtwain {

enum class To { Manager, Source };

// Loads twain_32.so from $ONDULA_TWAIN_DIR, else from the plug-in's folder,
// and fills the application identity. False (and the reason printed) when it
// is not there, does not load or lacks an entry point.
bool LoadManager();
// Unloads it; false (printed) when the library would not go.
bool UnloadManager();

TW_IDENTITY& SourceIdentity();

// Sends a triplet to the manager or to the open source.
TW_UINT16 Send(To to, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
// Waits up to `milliseconds` for a message of the manager's event queue.
bool WaitMessage(DSM_MESSAGE* message, TW_UINT32 milliseconds);

// Prints `text` while the host's VDoLowError is set.
void Print(const char* text);
inline void Print(const std::string& text) { Print(text.c_str()); }

inline constexpr char kConditionPrefix[] = "condition code = ";

// The condition code of the last failure of `to` (DAT_STATUS); TWCC_BUMMER
// when even that fails.
TW_UINT16 ReadCondition(To to);

bool IsKnown(TW_UINT16 cc, std::initializer_list<TW_UINT16> known);

// `prefix` and the name of `cc` when it is among `known`; otherwise "Source
// delivered an unknown condition code".
std::string ConditionText(TW_UINT16 cc, std::initializer_list<TW_UINT16> known,
                          const char* prefix = kConditionPrefix);

// After a failure: prints `text` (when not null), reads the condition code of `to` with
// DAT_STATUS and prints its text (with `prefix`; `nods_text` instead for
// TWCC_NODS when given). Returns the code.
TW_UINT16 ReportFailure(const char* text, To to, std::initializer_list<TW_UINT16> known,
                        const char* prefix = kConditionPrefix, const char* nods_text = nullptr);

// Every condition code the plug-in names.
inline constexpr std::initializer_list<TW_UINT16> kAnyCondition = {
    TWCC_BUMMER, TWCC_LOWMEMORY,   TWCC_NODS,     TWCC_MAXCONNECTIONS, TWCC_OPERATIONERROR,
    TWCC_BADCAP, TWCC_BADPROTOCOL, TWCC_BADVALUE, TWCC_SEQERROR,       TWCC_BADDEST};

} // namespace vfgtwain
