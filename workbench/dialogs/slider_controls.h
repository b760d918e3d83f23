// Controls of the slider dialogs.
#pragma once

class QSlider;

// A horizontal slider named after `id`, from `minimum` to `maximum`, at `start`.
QSlider* NewSlider(int id, int minimum, int maximum, int start);
// Puts `slider` at `position` without it counting as a movement.
void PlaceSlider(QSlider* slider, int position);
