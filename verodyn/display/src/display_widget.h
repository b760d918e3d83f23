// The widget behind a display window: paints the last image shown, its part
// scaled to fill the widget.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

#include <verodyn/object.h>

namespace verodyn::display {

class DisplayWidget : public QWidget {
public:
    // `part`: the image rectangle shown (QRect of the half-open part ranges).
    DisplayWidget(QWidget* father, QRect part);

    void set_part(QRect part);
    // Copies the image's planes and schedules a repaint. False when memory is short.
    bool show_image(const VImage& image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect part_;
    QImage image_;
};

} // namespace verodyn::display
