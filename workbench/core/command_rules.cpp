#include "command_rules.h"

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

bool InstrumentAcquisitionEnabled(const CommandState& s)
{
    return s.hasActiveDocument && !s.acquiring && s.source >= 2;
}

bool LiveAcquisitionEnabled(const CommandState& s)
{
    return s.hasActiveDocument && s.source != 0 && !s.acquiring;
}

bool FrozenAcquisitionEnabled(const CommandState& s)
{
    return s.hasActiveDocument && s.source != 0 && s.acquiring;
}

bool ResetMouseCoordsEnabled(const CommandState& s) { return s.hasActiveDocument && !s.acquiring; }

bool ClearProfilesEnabled(const CommandState& s)
{
    return s.hasActiveDocument && !s.activeIsAcquiring && (s.activeKind & KindProfiles);
}

bool SourceCommandEnabled(const CommandState& s) { return !s.acquiring; }

bool SourceChecked(const CommandState& s, int source) { return s.source == source; }

bool DefaultSizeEnabled(const CommandState& s) { return !s.acquiring && s.source != 1; }

bool CameraSettingsEnabled(const CommandState& s) { return !s.acquiring && s.source >= 5; }

bool MouseCoordsChecked(const CommandState& s) { return s.mouseCoordsOpen; }

bool MathLogicEnabled(const CommandState& s) { return !s.acquiring; }

bool CalibrateEnabled(const CommandState& s) { return s.hasActiveDocument && !s.acquiring; }

bool ImageDialogEnabled(const CommandState& s)
{
    return s.hasActiveDocument && FftBlockedEnabled(s);
}

bool FftBlockedEnabled(const CommandState& s) { return !s.acquiring && !IsFftKind(s.activeKind); }

bool ComplexOnlyEnabled(const CommandState& s)
{
    return !s.acquiring && (!s.hasActiveDocument || (s.activeKind & KindComplexFft));
}

bool RgbToGreyEnabled(const CommandState& s)
{
    return !s.acquiring &&
           (!s.hasActiveDocument || s.activeChannels != 1 || IsFftKind(s.activeKind));
}

bool GreyToRgbEnabled(const CommandState& s)
{
    return !s.acquiring &&
           (!s.hasActiveDocument || (s.activeChannels == 1 && !IsFftKind(s.activeKind)));
}

bool View3DEnabled(const CommandState& s) { return !s.acquiring; }

bool ExportEnabled(const CommandState& s)
{
    return s.hasActiveDocument && !s.acquiring && (s.activeKind & KindProfiles);
}

bool GaussFitChecked(const CommandState& s) { return s.activeGaussFit; }

bool SaveEnabled(const CommandState& s) { return s.hasActiveDocument && !s.activeInMask; }

bool LiveViewEnabled(const CommandState& s) { return !s.acquiring && s.source > 1; }

bool MaskEnabled(const CommandState& s) { return !s.acquiring && !s.maskOpen; }

bool ExtractEnabled(const CommandState& s) { return !s.acquiring && !s.extractOpen; }
