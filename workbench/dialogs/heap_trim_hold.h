// While any holder lives, the C library keeps up to 256 MB of freed memory at
// the top of its heap instead of handing it back to the system at each free.
// The software GL allocates and frees some tens of megabytes for every frame
// of a large point cloud; given back each time, every frame paid again for
// the system to map them afresh, most of the frame's time on a busy machine.
// The last holder gone, the usual threshold returns and the kept memory is
// given back. Holders live on the GUI thread.
#pragma once

class HeapTrimHold {
public:
    HeapTrimHold();
    ~HeapTrimHold();
    HeapTrimHold(const HeapTrimHold&) = delete;
    HeapTrimHold& operator=(const HeapTrimHold&) = delete;
};
