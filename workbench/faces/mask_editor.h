// What documents and views ask of the open mask dialog.
#pragma once

class CFraloDoc;
class Vobject;

class MaskEditor {
public:
    // The document the mask is painted for.
    virtual CFraloDoc* Document() const = 0;
    // Paints `shape` (MaskCanvas::Shape) on the image corners (x0, y0)-(x1, y1).
    virtual void PaintZone(int shape, int x0, int y0, int x1, int y1) = 0;
    // `doc` closes: a dialog made for it cancels.
    virtual void DocumentClosing(CFraloDoc* doc) = 0;
    // The document's own image, which the dialog gives back when it ends;
    // null until a zone is painted over it.
    virtual const Vobject* OriginalImage() const = 0;

protected:
    ~MaskEditor() = default;
};
