#include "slider_controls.h"

#include <QSignalBlocker>
#include <QSlider>

#include "dialog_support.h"

QSlider* NewSlider(int id, int minimum, int maximum, int start)
{
    auto* slider = Named(new QSlider(Qt::Horizontal), id);
    slider->setRange(minimum, maximum);
    slider->setValue(start);
    return slider;
}

void PlaceSlider(QSlider* slider, int position)
{
    const QSignalBlocker quiet(slider);
    slider->setValue(position);
}
