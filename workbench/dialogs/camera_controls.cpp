#include "camera_controls.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

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

void CameraControls::SetSlider(int position) const
{
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

void AddCameraButtons(QDialog* dialog, QBoxLayout* layout)
{
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("&Appliquer"), QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    buttons->addButton(QStringLiteral("&Fermer"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
}

CFraloDoc* StartCameraAcquisition(DocumentService& documents)
{
    CFraloDoc* doc = documents.ActiveDocument();
    if (!doc)
        return nullptr;
    doc->StartAcquisition();
    return documents.AcquiringDoc() == doc ? doc : nullptr;
}

VTuple GetCameraParam(DocumentService& documents, const CFraloDoc* doc, const char* name)
{
    VTuple value;
    if (documents.Live().Grabbers().GetParam(doc->m_hGrabber, name, &value) != V_OK)
        return {};
    return value;
}

void SetCameraParam(DocumentService& documents, const CFraloDoc* doc, const char* name,
                    const VTuple& value)
{
    documents.Live().Grabbers().SetParam(doc->m_hGrabber, name, value);
}
