#include "display_widget.h"

#include <QPainter>

#include "plane_image.h"

namespace verodyn::display {

DisplayWidget::DisplayWidget(QWidget* father, QRect part) : QWidget(father), part_(part)
{
    // Every pixel is painted in paintEvent, so Qt need not erase first; the
    // mouse belongs to the father (the program's view tracks it there).
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DisplayWidget::set_part(QRect part)
{
    part_ = part;
    update();
}

bool DisplayWidget::show_image(const VImage& image)
{
    const bool converted = planes_to_qimage(image, image_);
    update();
    return converted;
}

void DisplayWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect shown = part_ & image_.rect();
    if (shown.isEmpty()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const double sx = double(width()) / part_.width();
    const double sy = double(height()) / part_.height();
    const QRectF target((shown.left() - part_.left()) * sx, (shown.top() - part_.top()) * sy,
                        shown.width() * sx, shown.height() * sy);
    if (target != QRectF(rect()))
        painter.fillRect(rect(), Qt::black);
    if (part_.size() == size())
        painter.drawImage(target.topLeft().toPoint(), image_, shown);
    else
        painter.drawImage(target, image_, shown);
}

} // namespace verodyn::display
