#include "camera_controls.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"

namespace {

// Adds "&Appliquer" (the dialog's accept) and "&Fermer" (its reject).
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

} // namespace

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

CCameraSettingsDlg::CCameraSettingsDlg(const char* title, QWidget* parent)
    : QDialog(parent), m_pFrames(new QVBoxLayout)
{
    setWindowTitle(QString::fromUtf8(title));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_pFrames);
    AddCameraButtons(this, layout);
}

CameraControls CCameraSettingsDlg::AddControls(int labelId, int editId, int sliderId, int autoId)
{
    const CameraControls controls =
        CameraControls::Add(m_pFrames, labelId, editId, sliderId, autoId);
    connect(controls.slider, &QSlider::valueChanged, this, [this] { OnHScroll(); });
    return controls;
}

bool CCameraSettingsDlg::OnInitDialog()
{
    CFraloDoc* doc = Documents()->ActiveDocument();
    if (!doc)
        return false;
    doc->StartAcquisition();
    if (Documents()->AcquiringDoc() != doc)
        return false;
    m_pDoc = doc;
    ReadCamera();
    UpdateData(false);
    return true;
}

VTuple CCameraSettingsDlg::GetParam(const char* name) const
{
    VTuple value;
    if (Documents()->Live().Grabbers().GetParam(m_pDoc->m_hGrabber, name, &value) != V_OK)
        return {};
    return value;
}

void CCameraSettingsDlg::SetParam(const char* name, const VTuple& value) const
{
    Documents()->Live().Grabbers().SetParam(m_pDoc->m_hGrabber, name, value);
}

void CCameraSettingsDlg::OnCancel()
{
    if (m_pDoc)
        m_pDoc->StopAcquisition();
    QDialog::reject();
}
