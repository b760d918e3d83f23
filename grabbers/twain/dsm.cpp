#include "dsm.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fgint/fgint.h>
#include <fgint/module_folder.h>
#include <fgint/shared_library.h>

namespace vfgtwain {

namespace {

struct Manager {
    fg::SharedLibrary library;
    DSM_ENTRYPROC entry = nullptr;
    DSM_WAITEVENTPROC wait = nullptr;
    TW_IDENTITY application{};
    TW_IDENTITY source{};
};

Manager g_manager;

struct ConditionName {
    TW_UINT16 code;
    const char* name;
};

constexpr ConditionName kConditionNames[] = {
    {TWCC_BUMMER, "TWCC_BUMMER"},
    {TWCC_LOWMEMORY, "TWCC_LOWMEMORY"},
    {TWCC_NODS, "TWCC_NODS"},
    {TWCC_MAXCONNECTIONS, "TWCC_MAXCONNECTIONS"},
    {TWCC_OPERATIONERROR, "TWCC_OPERATIONERROR"},
    {TWCC_BADCAP, "TWCC_BADCAP"},
    {TWCC_BADPROTOCOL, "TWCC_BADPROTOCOL"},
    {TWCC_BADVALUE, "TWCC_BADVALUE"},
    {TWCC_SEQERROR, "TWCC_SEQERROR"},
    {TWCC_BADDEST, "TWCC_BADDEST"},
};

void Copy(TW_STR32& target, const char* text) { std::snprintf(target, sizeof target, "%s", text); }

void FillApplication(TW_IDENTITY& a)
{
    a = TW_IDENTITY{};
    a.Version.MajorNum = 5;
    a.Version.MinorNum = 2;
    a.Version.Language = 6;
    a.Version.Country = 49;
    Copy(a.Version.Info, "Your Apllication\xB4s Version String");
    a.ProtocolMajor = 1;
    a.ProtocolMinor = 7;
    a.SupportedGroups = DG_CONTROL | DG_IMAGE;
    Copy(a.Manufacturer, "Selvane Software GmbH");
    Copy(a.ProductFamily, "machine vision software");
    Copy(a.ProductName, "Verodyn");
}

} // namespace

bool LoadManager()
{
    const char* dir = std::getenv("ONDULA_TWAIN_DIR");
    std::string folder = dir && *dir ? std::string(dir) : fgint::ModuleFolder();
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    const std::string path = (folder.empty() ? "./" : folder) + "twain_32.so";
    if (access(path.c_str(), F_OK) != 0) {
        Print("FGOpen error: twain_32.dll not found");
        return false;
    }
    Manager& m = g_manager;
    if (!m.library.Open(path)) {
        Print("FGOpen error: Could not open twain_32.dll");
        return false;
    }
    m.entry = m.library.Entry<DSM_ENTRYPROC>("DSM_Entry");
    m.wait = m.library.Entry<DSM_WAITEVENTPROC>("DSM_WaitEvent");
    if (!m.entry || !m.wait) {
        Print("FGOpen error: Entry point of twain_32.dll not found");
        UnloadManager();
        return false;
    }
    FillApplication(m.application);
    m.source = TW_IDENTITY{};
    return true;
}

bool UnloadManager()
{
    Manager& m = g_manager;
    m.entry = nullptr;
    m.wait = nullptr;
    if (m.library.Close())
        return true;
    Print("FGClose error: DSM could not be deallocated");
    return false;
}

TW_IDENTITY& SourceIdentity() { return g_manager.source; }

TW_UINT16 Send(To to, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    Manager& m = g_manager;
    if (!m.entry)
        return TWRC_FAILURE;
    return m.entry(&m.application, to == To::Source ? &m.source : nullptr, dg, dat, msg, data);
}

bool WaitMessage(DSM_MESSAGE* message, TW_UINT32 milliseconds)
{
    return g_manager.wait && g_manager.wait(message, milliseconds) == TWRC_SUCCESS;
}

void Print(const char* text)
{
    if (VDoLowError)
        IOPrintErrorMessage(text);
}

TW_UINT16 ReadCondition(To to)
{
    TW_STATUS status{};
    if (Send(to, DG_CONTROL, DAT_STATUS, MSG_GET, &status) != TWRC_SUCCESS)
        return TWCC_BUMMER;
    return status.ConditionCode;
}

bool IsKnown(TW_UINT16 cc, std::initializer_list<TW_UINT16> known)
{
    for (const TW_UINT16 code : known)
        if (code == cc)
            return true;
    return false;
}

std::string ConditionText(TW_UINT16 cc, std::initializer_list<TW_UINT16> known, const char* prefix)
{
    if (IsKnown(cc, known))
        for (const ConditionName& name : kConditionNames)
            if (name.code == cc)
                return std::string(prefix) + name.name;
    return "Source delivered an unknown condition code";
}

TW_UINT16 ReportFailure(const char* text, To to, std::initializer_list<TW_UINT16> known,
                        const char* prefix, const char* nods_text)
{
    const TW_UINT16 cc = ReadCondition(to);
    if (text)
        Print(text);
    if (nods_text && cc == TWCC_NODS)
        Print(nods_text);
    else
        Print(ConditionText(cc, known, prefix));
    return cc;
}

} // namespace vfgtwain
