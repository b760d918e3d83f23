// How a document is written: format by file suffix, the refusal of FFT images,
// and the files that a write would reduce to 8 bits per sample.
#pragma once

#include <string>

// Bits of a document's kind word.
enum DocumentKind : int {
    KindShownIn3D = 1,
    KindProfiles = 4,
    KindComplexFft = 8,
    KindFftDerived = 16,
};

// True for a kind word that marks an FFT image (which cannot be saved,
// copied or processed).
inline bool IsFftKind(int kind) { return (kind & (KindComplexFft | KindFftDerived)) != 0; }

struct SavePlan {
    bool refused = false; // FFT image: nothing is written
    std::string format;   // "tiff" or "jpeg30"
    std::string path;     // the path written, ".tif" appended when needed
};

// ".tif"/".tiff" (any case) -> "tiff", ".jpg"/".jpeg" -> "jpeg30"; any other
// or no suffix -> "tiff" to the path with ".tif" appended.
SavePlan PlanSave(const std::string& path, int kind);

// Bits per sample of every file the program writes.
constexpr int kWrittenBitsPerSample = 8;

// True when writing `target` would replace `readFrom`, the file the document
// was read from with `bitsPerSample` bits per sample, by fewer bits. Both are
// the canonical paths of existing files; an empty `readFrom` is no file.
bool ReplacesDeeperFile(const std::string& target, const std::string& readFrom, int bitsPerSample);

// The file name of a path, without its directory.
std::string FileNameOf(const std::string& path);
