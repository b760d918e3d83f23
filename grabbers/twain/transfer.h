// The three ways an image comes from the source once it is ready. Each leaves
// the image as a bitmap in a memory block of its own.
#pragma once

#include <twain/protocol.h>

namespace vfgtwain {

struct Transferred {
    twain::GlobalBlock bitmap;
    bool after_memory_transfer = false; // the plug-in built the bitmap from strips
};

enum class Outcome { Image, Cancelled, Failed };

// DG_IMAGE / DAT_IMAGENATIVEXFER: the source's own bitmap.
Outcome TransferNative(Transferred* out);
// DG_IMAGE / DAT_IMAGEMEMXFER: strips into a bitmap built here.
Outcome TransferMemory(Transferred* out);
// DG_IMAGE / DAT_IMAGEFILEXFER into a fresh temporary file of our own, read
// back and deleted.
Outcome TransferFile(Transferred* out);

} // namespace vfgtwain
