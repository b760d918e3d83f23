// The two editions built from these sources: libverodyn, and the parallel
// libparverodyn (VERODYN_PARALLEL_EDITION), whose whole-image operators share
// their rows among the worker pool and whose frame-grabber host loads the
// plug-ins made for it, parVFG<interface>.so.
#pragma once

namespace verodyn::detail {

#ifdef VERODYN_PARALLEL_EDITION
inline constexpr bool kParallelEdition = true;
#else
inline constexpr bool kParallelEdition = false;
#endif

// The file-name prefix of the edition's frame-grabber plug-ins.
inline constexpr const char* kPluginPrefix = kParallelEdition ? "parVFG" : "VFG";

} // namespace verodyn::detail
