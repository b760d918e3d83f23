// The two builds of the plug-in: VFGTwain, and parVFGTwain for the parallel
// host edition, an earlier revision that answers info queries 0 to 6 only and
// looks for the window that has the keyboard focus as its parent.
#pragma once

namespace vfgtwain {

// The plug-in build helper compiles each edition with FG_PARALLEL_EDITION 0 or 1.
inline constexpr bool kParallelEdition = FG_PARALLEL_EDITION;

// The revision the info answer and the "revision" parameter give.
inline constexpr const char* kRevision = kParallelEdition ? "2.4" : "2.5 beta";

// The name the host's allocation records show for this plug-in.
inline constexpr char kSourceFile[] = "CIOTwain.cpp";

} // namespace vfgtwain
