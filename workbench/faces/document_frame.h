// The child frame of a document as its document sees it: the MDI window
// whose size follows the image.
#pragma once

#include <QMdiSubWindow>
#include <QSize>

#include "workbench/core/frame_fit.h"

class DocumentFrame : public QMdiSubWindow {
public:
    // The size of the area inside the frame's border.
    virtual QSize ClientSize() const = 0;
    // Gives the frame the outer size `size`, moved left or up where needed to
    // stay inside the visible work area and cut where the area is smaller. A
    // maximised or minimised frame keeps its state and its size.
    virtual void SetFrameSize(FrameSize size) = 0;
};
