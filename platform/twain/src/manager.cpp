// The manager: sessions of the applications, the list of sources, the
// simulated user's selection, condition codes, the event queue, and the test
// functions over them.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "manager.h"
#include <base/env_list.h>

namespace twsim {

namespace detail {

namespace {

// The sources ONDULA_TWAIN_SOURCES names; unset: the default one.
std::vector<SourceConfig> SourcesFromEnvironment()
{
    const char* names = std::getenv("ONDULA_TWAIN_SOURCES");
    if (!names)
        return {SourceConfig{}};
    std::vector<SourceConfig> sources;
    ondula::take_list_entries("ONDULA_TWAIN_SOURCES", names, [&](const std::string& name) {
        // A name the identity cannot hold whole would be another source's.
        if (name.size() >= sizeof(TW_STR32))
            return false;
        SourceConfig source;
        source.product_name = name;
        sources.push_back(source);
        return true;
    });
    return sources;
}

void Copy(TW_STR32& target, const std::string& text)
{
    std::snprintf(target, sizeof target, "%s", text.c_str());
}

void Describe(const Manager& m, size_t index, TW_IDENTITY* identity)
{
    const SourceConfig& c = m.configs[index];
    *identity = TW_IDENTITY{};
    identity->Id = TW_UINT32(index + 1);
    identity->Version.MajorNum = 1;
    identity->Version.Language = 6;
    identity->Version.Country = 49;
    Copy(identity->Version.Info, "simulated source");
    identity->ProtocolMajor = 1;
    identity->ProtocolMinor = 7;
    identity->SupportedGroups = DG_CONTROL | DG_IMAGE;
    Copy(identity->Manufacturer, c.manufacturer);
    Copy(identity->ProductFamily, c.product_family);
    Copy(identity->ProductName, c.product_name);
}

OpenSource* FindOpen(Session& session, TW_UINT32 id)
{
    for (OpenSource& s : session.sources)
        if (s.id == id)
            return &s;
    return nullptr;
}

bool OpenAnywhere(Manager& m, TW_UINT32 id)
{
    for (auto& [application, session] : m.sessions)
        if (FindOpen(session, id))
            return true;
    return false;
}

// The configured source an application's MSG_OPENDS names: by Id, else by
// product name, else the default one; -1 when there is none.
int Named(const Manager& m, const TW_IDENTITY& wanted)
{
    if (wanted.Id)
        return wanted.Id <= m.configs.size() ? int(wanted.Id - 1) : -1;
    if (!wanted.ProductName[0])
        return m.configs.empty() ? -1 : 0;
    for (size_t i = 0; i < m.configs.size(); ++i)
        if (m.configs[i].product_name == wanted.ProductName)
            return int(i);
    return -1;
}

TW_UINT16 Fail(Session& session, TW_UINT16 cc)
{
    session.condition = cc;
    return TWRC_FAILURE;
}

TW_UINT16 OpenManager(Manager& m, TW_IDENTITY* origin)
{
    if (m.sessions.count(origin->Id)) {
        m.unopened_condition = TWCC_SEQERROR;
        return TWRC_FAILURE;
    }
    origin->Id = m.next_application++;
    m.sessions[origin->Id];
    m.last_application = *origin;
    return TWRC_SUCCESS;
}

TW_UINT16 CloseManager(Manager& m, TW_IDENTITY* origin, Session& session)
{
    if (!session.sources.empty())
        return Fail(session, TWCC_SEQERROR);
    m.sessions.erase(origin->Id);
    return TWRC_SUCCESS;
}

TW_UINT16 OpenSourceFor(Manager& m, Session& session, TW_IDENTITY* wanted)
{
    const int index = Named(m, *wanted);
    if (index < 0)
        return Fail(session, TWCC_NODS);
    const auto id = TW_UINT32(index + 1);
    if (OpenAnywhere(m, id))
        return Fail(session, TWCC_MAXCONNECTIONS);
    OpenSource source;
    source.id = id;
    source.config = &m.configs[size_t(index)];
    ResetSource(source);
    session.sources.push_back(source);
    Describe(m, size_t(index), wanted);
    return TWRC_SUCCESS;
}

TW_UINT16 CloseSource(Session& session, TW_IDENTITY* which)
{
    OpenSource* s = FindOpen(session, which->Id);
    if (!s)
        return Fail(session, TWCC_BADDEST);
    if (s->state != 4)
        return Fail(session, TWCC_SEQERROR);
    std::erase_if(session.sources, [&](const OpenSource& open) { return open.id == which->Id; });
    return TWRC_SUCCESS;
}

TW_UINT16 Identity(Manager& m, Session& session, TW_UINT16 msg, TW_IDENTITY* identity)
{
    switch (msg) {
    case MSG_GETDEFAULT:
    case MSG_USERSELECT:
    case MSG_GETFIRST:
        if (m.configs.empty())
            return Fail(session, TWCC_NODS);
        if (msg == MSG_USERSELECT && m.user.escape_selection)
            return TWRC_CANCEL;
        session.next_listed = 1;
        Describe(m, 0, identity);
        return TWRC_SUCCESS;
    case MSG_GETNEXT:
        if (session.next_listed >= m.configs.size())
            return TWRC_ENDOFLIST;
        Describe(m, session.next_listed++, identity);
        return TWRC_SUCCESS;
    case MSG_OPENDS:
        return OpenSourceFor(m, session, identity);
    case MSG_CLOSEDS:
        return CloseSource(session, identity);
    }
    return Fail(session, TWCC_BADPROTOCOL);
}

TW_UINT16 Status(Manager& m, Session* session, TW_IDENTITY* dest, TW_STATUS* status)
{
    TW_UINT16* condition = session ? &session->condition : &m.unopened_condition;
    if (session && dest) {
        OpenSource* s = FindOpen(*session, dest->Id);
        if (!s)
            return Fail(*session, TWCC_BADDEST);
        condition = &s->condition;
    }
    *status = TW_STATUS{*condition, 0};
    *condition = TWCC_SUCCESS;
    return TWRC_SUCCESS;
}

// A fault injected for this triplet: its return code, or false.
bool Injected(Manager& m, Session* session, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
              TW_UINT16 msg, TW_UINT16* rc)
{
    const auto it = m.faults.find({dg, dat, msg});
    if (it == m.faults.end())
        return false;
    std::vector<Fault>& faults = it->second;
    for (Fault& fault : faults)
        --fault.calls_to_go;
    const auto due = std::find_if(faults.begin(), faults.end(),
                                  [](const Fault& fault) { return fault.calls_to_go <= 0; });
    if (due == faults.end())
        return false;
    *rc = due->rc;
    OpenSource* s = session && dest ? FindOpen(*session, dest->Id) : nullptr;
    (s ? s->condition : session ? session->condition : m.unopened_condition) = due->cc;
    faults.erase(due);
    return true;
}

TW_UINT16 Dispatch(Manager& m, TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                   TW_UINT16 msg, TW_MEMREF data)
{
    const auto found = m.sessions.find(origin->Id);
    Session* session = found == m.sessions.end() ? nullptr : &found->second;
    TW_UINT16 rc;
    if (Injected(m, session, dest, dg, dat, msg, &rc))
        return rc;
    if (dg == DG_CONTROL && dat == DAT_STATUS && msg == MSG_GET && data)
        return Status(m, session, dest, static_cast<TW_STATUS*>(data));
    if (dg == DG_CONTROL && dat == DAT_PARENT && msg == MSG_OPENDSM)
        return OpenManager(m, origin);
    if (!session) {
        m.unopened_condition = TWCC_SEQERROR;
        return TWRC_FAILURE;
    }
    if (dg == DG_CONTROL && dat == DAT_PARENT && msg == MSG_CLOSEDSM)
        return CloseManager(m, origin, *session);
    if (dg == DG_CONTROL && dat == DAT_IDENTITY) {
        if (!data)
            return Fail(*session, TWCC_BADVALUE);
        return Identity(m, *session, msg, static_cast<TW_IDENTITY*>(data));
    }
    if (!dest)
        return Fail(*session, TWCC_BADPROTOCOL);
    OpenSource* s = FindOpen(*session, dest->Id);
    if (!s)
        return Fail(*session, TWCC_BADDEST);
    return SourceEntry(m, *s, dg, dat, msg, data);
}

bool TakeMessage(Manager& m, DSM_MESSAGE* message)
{
    if (m.queue.empty())
        for (auto& [application, session] : m.sessions)
            for (OpenSource& s : session.sources)
                if (s.user_pending)
                    UserActs(m, s);
    if (m.queue.empty())
        return false;
    *message = m.queue.front();
    m.queue.pop_front();
    return true;
}

} // namespace

// Freed when the library is unloaded: an application that loads the manager
// for each session must not leave one behind each time.
Manager& TheManager()
{
    static Manager manager;
    return manager;
}

void EnsureConfigured(Manager& m)
{
    if (m.configured)
        return;
    m.configs = SourcesFromEnvironment();
    m.configured = true;
}

TW_UINT16 Entry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                TW_MEMREF data)
{
    if (!origin)
        return TWRC_FAILURE;
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    EnsureConfigured(m);
    return Dispatch(m, origin, dest, dg, dat, msg, data);
}

TW_UINT16 WaitEvent(DSM_MESSAGE* message, TW_UINT32 milliseconds)
{
    Manager& m = TheManager();
    {
        std::lock_guard guard(m.lock);
        if (TakeMessage(m, message))
            return TWRC_SUCCESS;
    }
    twain::PlatformClock().SleepFor(std::chrono::milliseconds(milliseconds));
    std::lock_guard guard(m.lock);
    return TakeMessage(m, message) ? TWRC_SUCCESS : TWRC_FAILURE;
}

} // namespace detail

using namespace detail;

void Configure(const std::vector<SourceConfig>& sources)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    m.sessions.clear();
    m.queue.clear();
    m.faults.clear();
    m.user = User{};
    m.transfers = 0;
    m.last_file.clear();
    m.last_application = TW_IDENTITY{};
    m.unopened_condition = TWCC_SUCCESS;
    m.configs = sources;
    m.configured = true;
}

void ConfigureFromEnvironment()
{
    Configure({});
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    m.configured = false;
}

void SetUser(const User& user)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    m.user = user;
}

void FailTriplet(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_UINT16 rc, TW_UINT16 cc, int nth)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    m.faults[{dg, dat, msg}].push_back({nth, rc, cc});
}

Counters Count()
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    Counters counters{int(m.sessions.size()), 0, twain::LiveGlobalHandles(), m.transfers};
    for (const auto& [application, session] : m.sessions)
        counters.sources += int(session.sources.size());
    return counters;
}

TW_IDENTITY LastApplication()
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    return m.last_application;
}

std::string LastFile()
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    return m.last_file;
}

bool CurrentSettings(const std::string& product_name, Settings* settings)
{
    Manager& m = TheManager();
    std::lock_guard guard(m.lock);
    for (const auto& [application, session] : m.sessions)
        for (const OpenSource& s : session.sources)
            if (s.config->product_name == product_name) {
                *settings = {s.units, s.x_dpi, s.y_dpi,  s.x_scaling,  s.y_scaling, s.left,
                             s.top,   s.right, s.bottom, s.pixel_type, s.bit_depth};
                return true;
            }
    return false;
}

} // namespace twsim
