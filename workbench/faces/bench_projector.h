// The optical bench's projector as the phase acquisition sees it.
#pragma once

#include "metrology/acquisition/projector_sequence.h"

class BenchProjector : public acquisition::ProjectorOutput {
public:
    // The projector goes dark: the camera sees the interferometer again.
    virtual void Hide() = 0;
};
