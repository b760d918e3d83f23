// The view's face: what documents, dialogs and the live loop ask of the
// window that shows a document's image in a display window of the imaging
// library.
#pragma once

#include <cstdint>

#include <QAbstractScrollArea>
#include <QImage>
#include <QPoint>

#include "workbench/core/live_control.h"

class CFraloDoc;
class DocumentFrame;

class ImageView : public QAbstractScrollArea, public LiveWindow {
public:
    // The child frame the view is shown in, or null.
    virtual DocumentFrame* Frame() const = 0;

    // Shows the document's image in the display window (not while the 3-D view
    // owns the view), its part the image's size whatever its pixel type.
    virtual void DisplayImage() = 0;
    virtual void SetScrollSizes(int width, int height) = 0;
    virtual void ScrollTo(int x, int y) = 0;
    virtual QPoint ScrollPosition() const = 0;
    // Places the display window at the scroll position with the image size.
    virtual void SetWindowExtents(int width, int height) = 0;
    // Live frames show rows 0..rows and columns 0..columns of what is grabbed.
    virtual void SetDisplayedPart(int rows, int columns) = 0;
    // The handle of the display window.
    virtual long WindowHandle() const = 0;

    // The window a webcam's capture window is created in.
    virtual QWidget* CaptureParent() const = 0;
    // Closes the display window and shows a window a board draws into in its
    // place; returns that window's handle for the board library.
    virtual intptr_t ReleaseDisplayWindow() = 0;
    // Takes the board's window away and shows the image in the display window
    // again, opened at the image size.
    virtual void RestoreDisplayWindow() = 0;
    // Opens the display window at the image size, as the first update does,
    // and closes it: the 3-D view draws in its place.
    virtual void OpenDisplayWindow() = 0;
    virtual void CloseDisplayWindow() = 0;
    // The picture the 3-D view drew last, shown while the document's kind
    // word has the 3-D bit.
    virtual void ShowPicture(const QImage& picture) = 0;

    // Starts the live loop for `document`, this view's, on this view's
    // timers; ends it and shows the last frame.
    virtual void StartLiveTimer(CFraloDoc* document) = 0;
    virtual void StopLiveTimer() = 0;
};
