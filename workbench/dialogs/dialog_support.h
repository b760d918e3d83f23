// What the image-operation dialogs share: controls named after their resource
// ids, buttons whose handlers run at the error edge, and the planes of a
// document's image.
#pragma once

#include <functional>

#include <QString>

#include "plane_buffers.h"

class QAbstractButton;
class QWidget;

// `control`, named after its resource id (tests find it by that name).
template <class Control> Control* Named(Control* control, int id)
{
    control->setObjectName(QString::number(id));
    return control;
}

// A button named after `id` whose clicks run `handler` at the error edge.
QAbstractButton* Clicked(QAbstractButton* button, int id, std::function<void()> handler);

// The planes R, G, B of `image` at its document's size width x height
// (ReadThreePlanes); "Erreur sur taille image !" when the image's size
// differs. False when the image holds no "byte" image of 1 or 3 channels.
bool ReadDocumentPlanes(const Vobject& image, int width, int height, PlaneBuffers* planes);
