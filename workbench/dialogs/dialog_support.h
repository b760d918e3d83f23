// What the image-operation dialogs share besides the controls of every
// dialog (dialog_controls.h): buttons whose handlers run at the error edge,
// and the planes of a document's image.
#pragma once

#include <functional>
#include <initializer_list>

#include <QDialogButtonBox>

#include <imageproc/plane_buffers.h>

#include "workbench/analysis/dialog_controls.h"

class QAbstractButton;
class QDialog;
class QWidget;

// A button named after `id` whose clicks run `handler` at the error edge.
QAbstractButton* Clicked(QAbstractButton* button, int id, std::function<void()> handler);

// A button of a dialog's button row: its resource id and text, and what it
// does: 1 accepts the dialog, 2 rejects it, any other runs `action`.
struct DialogButton {
    int id;
    const char* text; // UTF-8
    std::function<void()> action = nullptr;
};
// The row of `buttons` in their order, each named after its id; actions run
// at the error edge.
QDialogButtonBox* DialogButtons(QDialog* dialog, std::initializer_list<DialogButton> buttons);

// The planes R, G, B of `image` at its document's size width x height
// (ReadThreePlanes); "Erreur sur taille image !" when the image's size
// differs. False, told (RefuseOtherPixelTypes), when the image holds no
// "byte" image of 1 or 3 channels.
bool ReadDocumentPlanes(const Vobject& image, int width, int height, PlaneBuffers* planes);
