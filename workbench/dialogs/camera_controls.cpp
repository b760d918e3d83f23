#include "camera_controls.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>

CameraControls CameraControls::Add(QBoxLayout* layout, int labelId, int editId, int sliderId,
                                   int autoId)
{
    auto* frame = new QFrame;
    frame->setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(frame);
    CameraControls c;
    c.label = new QLabel;
    c.edit = new QLineEdit;
    c.slider = new QSlider(Qt::Horizontal);
    c.label->setObjectName(QString::number(labelId));
    c.edit->setObjectName(QString::number(editId));
    c.slider->setObjectName(QString::number(sliderId));
    grid->addWidget(c.label, 0, 0);
    grid->addWidget(c.edit, 0, 1);
    grid->addWidget(c.slider, 1, 0, 1, 2);
    if (autoId) {
        c.automatic = new QCheckBox(QStringLiteral("&Auto"));
        c.automatic->setObjectName(QString::number(autoId));
        grid->addWidget(c.automatic, 0, 2);
    }
    layout->addWidget(frame);
    return c;
}

void CameraControls::SetRange(int minimum, int maximum) const
{
    QSignalBlocker quiet(slider);
    slider->setRange(minimum, maximum);
}

void CameraControls::Show(const QString& text, const QString& value, int position) const
{
    label->setText(text);
    edit->setText(value);
    QSignalBlocker quiet(slider);
    slider->setValue(position);
}

int CameraControls::EditInt(int current) const
{
    bool ok = false;
    const int value = edit->text().trimmed().toInt(&ok);
    return ok ? value : current;
}

float CameraControls::EditFloat(float current) const
{
    bool ok = false;
    const float value = edit->text().trimmed().toFloat(&ok);
    return ok ? value : current;
}
