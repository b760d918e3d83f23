// The demodulation dialog's options: the unwrapper's flag word they make and
// the presets that set several of them at once.
#pragma once

#include "metrology/kernels/phase_unwrapper.h"

// The option members, as the dialog's controls show them.
struct UnwrapOptions {
    int discontinuities = 0;      // "&Détection des discontinuités"
    int poles = 0;                // "&Détection de pôles"
    int imageKind = 0;            // normal, physical discontinuities, strong discontinuities
    int quality = 0;              // variance, linearity, Laplacian, least squares 5x5
    int noise = 0;                // none, type 1, type 2, type 3
    int continuousBackground = 0; // "&Avec bruit de fond continu"
    int veryFineFringes = 0;      // "&Avec franges très fines"
    int invert = 0;               // " &Inversion luminances de l'image phasée"
    bool operator==(const UnwrapOptions&) const = default;
};

// The flag word of the options, with UW_MASK when a mask is chosen (16 for the defaults).
UnwrapFlags UnwrapFlagsOf(const UnwrapOptions& options, bool maskChosen);

// Control ids of the presets.
enum UnwrapPreset : int {
    PRESET_NORMAL_FRINGES = 1075,
    PRESET_PHYSICAL_DISCONTINUITIES = 1077,
    PRESET_STRONG_DISCONTINUITIES = 1079,
    PRESET_CONTINUOUS_BACKGROUND = 1081,
    PRESET_VERY_FINE_FRINGES = 1082,
    PRESET_DEFAULTS = 23,
};

// The options after the preset of control `preset`, from the options as the
// controls read (the two boxes act on what they now show). Other ids change nothing.
UnwrapOptions ApplyUnwrapPreset(UnwrapOptions options, int preset);
