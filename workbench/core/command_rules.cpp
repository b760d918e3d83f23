#include "command_rules.h"

#include "command_ids.h"
#include "save_rules.h"

bool DocumentCommandEnabled(const CommandState& s) { return s.hasActiveDocument; }

bool CopyEnabled(const CommandState& s)
{
    return s.hasActiveDocument && !s.acquiring && !IsFftKind(s.activeKind);
}

bool PasteEnabled(const CommandState& s)
{
    return s.hasActiveDocument && s.hasCopiedDocument && !s.acquiring;
}

bool PasteClipboardEnabled(const CommandState& s) { return s.hasActiveDocument && !s.acquiring; }

bool AnalysisEnabled(const CommandState& s) { return !s.acquiring; }

bool PhaseComputeEnabled(const CommandState& s) { return !s.acquiring && s.openImages > 3; }

std::set<int> GreyedContextItems(const CommandState& s)
{
    std::set<int> greyed;
    if (s.activeIsAcquiring)
        greyed.insert({ID_RESET_MOUSE_COORDS, ID_CLEAR_PROFILES});
    if (s.acquiring)
        greyed.insert({ID_VIEW_LIVE_ACQUISITION, ID_RESET_MOUSE_COORDS});
    if (s.source == 0)
        greyed.insert({ID_VIEW_FROZEN_ACQUISITION, ID_VIEW_LIVE_ACQUISITION});
    if (!s.acquiring)
        greyed.insert(ID_VIEW_FROZEN_ACQUISITION);
    if (!(s.activeKind & KindProfiles))
        greyed.insert(ID_CLEAR_PROFILES);
    return greyed;
}
