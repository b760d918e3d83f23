// Texts the acquisition sequences and their pages show (UTF-8).
#pragma once

namespace acquisition {

inline constexpr const char* kLiveFailedText = "Erreur sur fonction acq. permanente !";
inline constexpr const char* kComputingText = "Calcul image phasée...";
inline constexpr const char* kPhaseDoneText = "Image phasée calculée...";
inline constexpr const char* kPhaseNameFormat = "ImPhasee%d";
inline constexpr const char* kNewImageText = "NOUV. IMAGE";
inline constexpr const char* kNoReferenceText = "AUCUNE";
inline constexpr const char* kMosaicName = "Im0_270";
inline constexpr const char* kWriteFailedText = "Erreur d'écriture de l'image !";
// A card's ports that the hardware access library could not reach.
inline constexpr const char* kNoPortsText = "Erreur de connexion à QUENLO !";
// Channels, width and height of a frame that could not be brought to the
// expected width (and height), then that width.
inline constexpr const char* kFrameSizeFormat = "Erreur dimensions image:\n%d,%d,%d,%d";

// "Im0", "Im90", "Im180", "Im270" for step 0..3.
const char* StepName(int step);

} // namespace acquisition

#include <string>

namespace acquisition {

// printf-style formatting into a string.
std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace acquisition
