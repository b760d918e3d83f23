#include "calibration_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <imageproc/plane_buffers.h>

#include "dialog_support.h"
#include "workbench/analysis/z_scale_dlg.h"
#include "workbench/doc/fralo_doc.h"

namespace {

// Real numbers as the edits show them, and the texts they take.
QString RealText(float value) { return QString::number(value, 'g', 6); }

QLineEdit* RealEdit(int id)
{
    auto* edit = Named(new QLineEdit, id);
    static const QRegularExpression real(QStringLiteral("[-+]?[0-9]*\\.?[0-9]*([eE][-+]?[0-9]*)?"));
    edit->setValidator(new QRegularExpressionValidator(real, edit));
    return edit;
}

// A group with "<before> [count] <middle> [millimetres] mm".
QGroupBox* ScaleGroup(const QString& title, const QString& before, QLineEdit* count,
                      const QString& middle, QLineEdit* millimetres)
{
    auto* group = new QGroupBox(title);
    auto* layout = new QGridLayout(group);
    layout->addWidget(new QLabel(before), 0, 0);
    layout->addWidget(count, 0, 1);
    layout->addWidget(new QLabel(middle), 0, 2);
    layout->addWidget(millimetres, 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("mm")), 0, 4);
    return group;
}

void ShowEntry(ScaleEntry entry, QLineEdit* count, QLineEdit* millimetres)
{
    count->setText(RealText(entry.count));
    millimetres->setText(RealText(entry.millimetres));
}

} // namespace

CCalibrationDlg::CCalibrationDlg(CFraloDoc& doc, QWidget* parent)
    : QDialog(parent),
      m_doc(doc),
      m_pUnitsXY(
          Named(new QCheckBox(QString::fromUtf8("&Coordonnées image en mm suivant x et y")), 1047)),
      m_pUnitsZ(
          Named(new QCheckBox(QString::fromUtf8("&Coordonnées image en mm suivant z")), 1060)),
      m_pHint(Named(new QLabel, 1009)),
      m_pPixels(RealEdit(1049)),
      m_pMillimetresXY(RealEdit(1052)),
      m_pLevels(RealEdit(1063)),
      m_pMillimetresZ(RealEdit(1066)),
      m_pScaleZ(Named(new QPushButton(QString::fromUtf8("&Speckle ou moiré...")), 3))
{
    setWindowTitle(QStringLiteral("Conv. pixel-mm et luminance-mm"));
    connect(m_pUnitsXY, &QCheckBox::clicked, this, &CCalibrationDlg::OnUnitsXY);
    connect(m_pUnitsZ, &QCheckBox::clicked, this, &CCalibrationDlg::OnUnitsZ);
    connect(m_pScaleZ, &QPushButton::clicked, this, &CCalibrationDlg::OnSpeckleMoire);
    auto* z =
        ScaleGroup(QString::fromUtf8("Facteur d'échelle suivant z"), QStringLiteral("Suivant z: "),
                   m_pLevels, QStringLiteral("  w -->"), m_pMillimetresZ);
    static_cast<QGridLayout*>(z->layout())->addWidget(m_pScaleZ, 1, 0, 1, 5);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pUnitsXY);
    layout->addWidget(ScaleGroup(QString::fromUtf8("Facteurs d'échelle suivant x et y"),
                                 QStringLiteral("Suivant x et y: "), m_pPixels,
                                 QStringLiteral("pixel(s) -->"), m_pMillimetresXY));
    layout->addWidget(m_pUnitsZ);
    layout->addWidget(z);
    layout->addWidget(m_pHint);
    layout->addWidget(DialogButtons(this, {{1, "&OK"}, {2, "&Quitter"}}));

    m_pUnitsXY->setChecked(doc.m_bCalibratedXY != 0);
    m_pUnitsZ->setChecked(doc.m_bCalibratedZ != 0);
    ShowEntry(EntryOfScale(doc.m_fScaleXY), m_pPixels, m_pMillimetresXY);
    ShowEntry(EntryOfScale(doc.m_fScaleZ), m_pLevels, m_pMillimetresZ);
    // A grey image of 16 bits or of reals is calibrated on its values as they are.
    m_pHint->setText(ShapeOf(doc.m_image).channels == 1
                         ? QString::fromUtf8("Image courante:\n%1").arg(doc.m_strName)
                         : QString::fromUtf8("Image couleur, étalonnage:\nw=(30*r+59*g+11*b)/100"));
    EnableEdits();
}

void CCalibrationDlg::EnableEdits()
{
    const bool xy = m_pUnitsXY->isChecked();
    m_pPixels->setEnabled(xy);
    m_pMillimetresXY->setEnabled(xy);
    const bool z = m_pUnitsZ->isChecked();
    m_pLevels->setEnabled(z);
    m_pMillimetresZ->setEnabled(z);
    m_pScaleZ->setEnabled(z);
}

void CCalibrationDlg::OnUnitsXY()
{
    EnableEdits();
    m_pHint->setText(m_pUnitsXY->isChecked() ? QString::fromUtf8("Unités x&y: mm")
                                             : QString::fromUtf8("Unités x&y: pixel"));
}

void CCalibrationDlg::OnUnitsZ()
{
    EnableEdits();
    m_pHint->setText(m_pUnitsZ->isChecked() ? QString::fromUtf8("Unité z: mm")
                                            : QString::fromUtf8("Unité z: luminance [0, 255]"));
}

void CCalibrationDlg::OnSpeckleMoire()
{
    CSpeckleEchZDlg scale(this);
    if (scale.exec() == QDialog::Accepted)
        TakeScaleZ(scale.ScaleZ());
}

void CCalibrationDlg::TakeScaleZ(float millimetresPerLevel)
{
    ShowEntry({1.0f, millimetresPerLevel}, m_pLevels, m_pMillimetresZ);
}

float CCalibrationDlg::EditValue(const QLineEdit* edit) { return edit->text().toFloat(); }

void CCalibrationDlg::OnOK()
{
    Calibration calibration{m_doc.m_fScaleXY,           m_doc.m_fScaleZ,
                            m_doc.m_fUnitFactorXY,      m_doc.m_fUnitFactorZ,
                            m_doc.m_bCalibratedXY != 0, m_doc.m_bCalibratedZ != 0};
    StoreCalibration(m_pUnitsXY->isChecked(), {EditValue(m_pPixels), EditValue(m_pMillimetresXY)},
                     m_pUnitsZ->isChecked(), {EditValue(m_pLevels), EditValue(m_pMillimetresZ)},
                     m_doc.m_nWidth, &calibration);
    m_doc.SetCalibration(calibration);
    QDialog::accept();
}
