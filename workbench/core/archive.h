// The direction of a serialisation: reading a file or writing it.
#pragma once

enum class Archive { Load, Store };
