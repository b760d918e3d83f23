#include "fralo_doc.h"

#include <algorithm>
#include <cstdlib>

#include <QDir>
#include <QFileInfo>

#include <imageproc/plane_buffers.h>
#include <imageproc/quiet_library.h>
#include <verodyn/operators.h>

#include "workbench/acquisition/vfw_capture_wnd.h"
#include "workbench/common/error_edge.h"
#include "workbench/common/user_message.h"
#include "workbench/core/frame_fit.h"
#include "workbench/core/save_rules.h"
#include "workbench/faces/document_frame.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/image_view.h"
#include "workbench/faces/mask_editor.h"
#include "workbench/faces/workbench_settings.h"

namespace {

FrameSize SizeOf(const QSize& s) { return {s.width(), s.height()}; }

} // namespace

CFraloDoc::CFraloDoc()
    : m_pApp(Settings()),
      m_nImageNumber(m_pApp->m_nImageCounter),
      m_nWidth(m_pApp->m_nDefaultWidth),
      m_nHeight(m_pApp->m_nDefaultHeight)
{
    if (m_pApp->m_nSource != 0)
        gen_image_const(&m_image, "byte", m_nWidth, m_nHeight);
    else
        MakeImageFromPlanes(TestPattern(m_nWidth, m_nHeight), &m_image);
    m_strName = QString("Image%1").arg(m_nImageNumber);
    m_pApp->DocumentOpened();
    ResetTracker();
    MarkUnmodified();
}

CFraloDoc::~CFraloDoc()
{
    // A document that never got a window (a file that failed to open) was
    // never open: another document's acquisition goes on.
    if (m_pChildFrame || Documents()->AcquiringDoc() == this)
        EndAcquisition(false);
    m_pApp->ForgetDocument(this);
    if (m_pApp->m_pMaskDlg)
        m_pApp->m_pMaskDlg->DocumentClosing(this);
    m_pApp->DocumentClosed();
}

int CFraloDoc::Channels() const { return ViewPlanes(m_image).channels; }

void CFraloDoc::SetImage(const Vobject& image)
{
    m_image = image;
    ImageShape shape = ShapeOf(m_image);
    m_nWidth = static_cast<int16_t>(shape.width);
    m_nHeight = static_cast<int16_t>(shape.height);
}

void CFraloDoc::UpdateAllViews()
{
    if (m_pView)
        m_pView->DisplayImage();
}

bool CFraloDoc::LoadImage(const QString& path)
{
    m_strReadFailure.clear();
    Vobject image;
    {
        QuietLibrary quiet;
        if (const Vstatus status = read_image(&image, path.toLocal8Bit().constData());
            status != V_OK) {
            m_strReadFailure = LibraryFailureText(status, vlast_error());
            return false;
        }
    }
    PlaneView v = ViewPlanes(image);
    if (v.width > INT16_MAX || v.height > INT16_MAX)
        m_strReadFailure = LibraryFailureText(VERR_IMAGE_TOO_LARGE, {});
    if (v.channels == 0 || !m_strReadFailure.isEmpty())
        return false;
    int bits = kWrittenBitsPerSample;
    {
        QuietLibrary quiet;
        read_image_depth(path.toLocal8Bit().constData(), &bits);
    }
    SetImage(image);
    m_strPathName = QFileInfo(path).absoluteFilePath();
    m_nFileBits = bits;
    Documents()->AddToRecentFileList(path);
    m_strName = QString::fromStdString(FileNameOf(path.toStdString()));
    UpdateTitle();
    m_nKind = 0;
    m_bFileForgotten = false;
    MarkUnmodified();
    return true;
}

bool CFraloDoc::SaveImage(const QString& path)
{
    SavePlan plan = PlanSave(path.toStdString(), m_nKind);
    if (plan.refused) {
        UserMessage(QString::fromUtf8("Image FFT, sauvegarde impossible !\nLa convertir "
                                      "préalablement en nuances de gris..."));
        return false;
    }
    Vstatus status = V_OK;
    {
        QuietLibrary quiet;
        // An image of another pixel type (an inverse FFT) is written as bytes,
        // rounded and clipped.
        const Vobject& image = OwnImage();
        Vobject written = image;
        if (ShapeOf(image).channels != 0 && ViewPlanes(image).channels == 0)
            status = convert_image_type(image, &written, "byte");
        if (status == V_OK)
            status = write_image(written, plan.format.c_str(), 0, plan.path.c_str());
    }
    if (status != V_OK) {
        UserMessage(QString::fromUtf8("Erreur d'écriture fichier: ") +
                    QString::fromStdString(plan.path));
        return false;
    }
    m_strPathName = QString::fromStdString(plan.path);
    m_nFileBits = kWrittenBitsPerSample;
    m_bFileForgotten = false;
    MarkUnmodified();
    // A name that had to be given ".tif" is not offered among the recent files.
    if (plan.path == path.toStdString())
        Documents()->AddToRecentFileList(m_strPathName);
    m_strName = QString::fromStdString(FileNameOf(plan.path));
    UpdateTitle();
    return true;
}

bool CFraloDoc::WriteLosesDepth(const QString& path) const
{
    const QString target = QString::fromStdString(PlanSave(path.toStdString(), 0).path);
    return ReplacesDeeperFile(QFileInfo(target).canonicalFilePath().toStdString(),
                              QFileInfo(m_strPathName).canonicalFilePath().toStdString(),
                              m_nFileBits);
}

void CFraloDoc::ForgetFile()
{
    if (m_strPathName.isEmpty())
        return;
    m_strPathName.clear();
    m_nFileBits = kWrittenBitsPerSample;
    m_bFileForgotten = true;
}

QString CFraloDoc::SavePath() const
{
    return m_strPathName.isEmpty() ? QDir::current().absoluteFilePath(m_strName) : m_strPathName;
}

bool CFraloDoc::SaveNeedsChoice() const
{
    if (m_bFileForgotten || WriteLosesDepth(m_strPathName))
        return true;
    return m_strPathName.isEmpty() &&
           QFileInfo::exists(QString::fromStdString(PlanSave(SavePath().toStdString(), 0).path));
}

void CFraloDoc::MarkUnmodified() { m_nSavedFingerprint = ImageFingerprint(OwnImage()); }

bool CFraloDoc::IsModified() const { return ImageFingerprint(OwnImage()) != m_nSavedFingerprint; }

const Vobject& CFraloDoc::OwnImage() const
{
    const MaskEditor* mask = m_pApp->m_pMaskDlg;
    const Vobject* original = mask && mask->Document() == this ? mask->OriginalImage() : nullptr;
    return original ? *original : m_image;
}

QString CFraloDoc::Title() const
{
    return QString("%1 (%2x%3)").arg(m_strName).arg(m_nWidth).arg(m_nHeight);
}

void CFraloDoc::UpdateTitle()
{
    if (!m_strPathName.isEmpty()) {
        if (m_strName.isEmpty())
            m_strName = m_strPathName;
        m_strName = QString::fromStdString(FileNameOf(m_strName.toStdString()));
    }
    if (m_pChildFrame)
        m_pChildFrame->setWindowTitle(Title());
}

FrameSize CFraloDoc::FittedFrameSize(int width, int height) const
{
    return FitFrameSize(SizeOf(m_pChildFrame->size()), SizeOf(m_pChildFrame->ClientSize()), width,
                        height, m_pApp->m_nMaxWidth, m_pApp->m_nMaxHeight);
}

void CFraloDoc::FitFrameToImage(int width, int height)
{
    if (!m_pChildFrame)
        return;
    m_pChildFrame->SetFrameSize(FittedFrameSize(width, height));
    m_pChildFrame->update();
}

void CFraloDoc::EnlargeFrame(int width, int height)
{
    if (!m_pChildFrame)
        return;
    bool changed = false;
    FrameSize size = EnlargeFrameSize(SizeOf(m_pChildFrame->size()),
                                      SizeOf(m_pChildFrame->ClientSize()), width, height, &changed);
    if (!changed)
        return;
    m_pChildFrame->SetFrameSize(size);
    m_pChildFrame->update();
}

void CFraloDoc::UpdateScrollSizes(int width, int height)
{
    ImageView* view = m_pView;
    if (!view)
        return;
    view->SetScrollSizes(width, height);
    view->ScrollTo(0, 0);
    SetScrollPosition(view->ScrollPosition());
}

void CFraloDoc::MoveFrameTo(int x, int y)
{
    if (!m_pChildFrame)
        return;
    m_pChildFrame->move(x, y);
    m_pChildFrame->show();
    m_pChildFrame->update();
}

void CFraloDoc::ResetTracker() { m_tracker.Reset(CRectTracker::dottedLine); }

void CFraloDoc::SetSize(int width, int height)
{
    m_nWidth = static_cast<int16_t>(width);
    m_nHeight = static_cast<int16_t>(height);
}

void CFraloDoc::TakeSize(int width, int height)
{
    SetSize(width, height);
    FitFrameToImage(width, height);
    UpdateScrollSizes(width, height);
}

void CFraloDoc::SetName(const QString& name) { m_strName = name; }

void CFraloDoc::SetKind(int kind) { m_nKind = kind; }

void CFraloDoc::ToggleGaussFit() { m_bGaussFit = !m_bGaussFit; }

void CFraloDoc::MarkRunResult() { m_bRunResult = true; }

void CFraloDoc::SetCalibration(const Calibration& calibration)
{
    m_fScaleXY = calibration.scaleXY;
    m_fScaleZ = calibration.scaleZ;
    m_fUnitFactorXY = calibration.unitFactorXY;
    m_fUnitFactorZ = calibration.unitFactorZ;
    m_bCalibratedXY = calibration.calibratedXY;
    m_bCalibratedZ = calibration.calibratedZ;
}

void CFraloDoc::SetFringeCount(int count, std::optional<float> moirePitch)
{
    m_nFringeCount = count;
    if (moirePitch)
        m_fMoirePitch = *moirePitch;
}

void CFraloDoc::AttachFrame(DocumentFrame* frame) { m_pChildFrame = frame; }

void CFraloDoc::AttachView(ImageView* view) { m_pView = view; }

void CFraloDoc::SetScrollPosition(QPoint scroll)
{
    m_ptScroll = {static_cast<int16_t>(scroll.x()), static_cast<int16_t>(scroll.y())};
}

void CFraloDoc::SetMouse(QPoint image, int32_t value)
{
    m_ptMouse = {static_cast<int16_t>(image.x()), static_cast<int16_t>(image.y())};
    if (value != -1)
        m_nMouseValue = value;
    const PixelSample sample = SamplePixel(m_image, image.x(), image.y());
    if (sample.onImage)
        m_mouseSample = sample;
}

PixelSample CFraloDoc::MouseSample() const
{
    const PixelSample here = SamplePixel(m_image, m_ptMouse.x, m_ptMouse.y);
    // A value kept from an image of another kind means nothing here.
    return here.onImage || here.parts != m_mouseSample.parts ? here : m_mouseSample;
}

void CFraloDoc::ClearCross()
{
    m_ptCross = {};
    m_nCrossValue = -1;
}

void CFraloDoc::ClearProfiles()
{
    m_nKind &= ~KindProfiles;
    ResetTracker();
}

void CFraloDoc::ClearZone()
{
    // The point goes with its value: values relative to a cross of no value
    // would be off by the missing one.
    ClearCross();
    m_nKind &= ~KindProfiles;
    m_tracker.Clear();
}

void CFraloDoc::EndZoneTrack(QPoint press, QPoint scroll, int clickTolerance)
{
    if (m_tracker.EndTrack()) {
        m_tracker.KeepZone();
        const TrackerRect& r = m_tracker.m_rect;
        m_profile.x1 = static_cast<short>(r.left + scroll.x());
        m_profile.y1 = static_cast<short>(r.top + scroll.y());
        m_profile.x2 = static_cast<short>(r.right + scroll.x());
        m_profile.y2 = static_cast<short>(r.bottom + scroll.y());
        m_nKind |= KindProfiles;
    }
    const TrackerRect& r = m_tracker.m_rect;
    if (std::abs(r.right - r.left) < clickTolerance &&
        std::abs(r.bottom - r.top) < clickTolerance) {
        m_tracker.DropZone();
        const QPoint cross = press + scroll;
        // Beside the image there is no pixel: a cross there would be measured
        // against the value of another one, or against none.
        const ImageShape shape = ShapeOf(m_image);
        if (cross.x() < 0 || cross.y() < 0 || cross.x() >= shape.width || cross.y() >= shape.height)
            return;
        m_ptCross = {static_cast<int16_t>(cross.x()), static_cast<int16_t>(cross.y())};
        const int32_t value = GetPixelValue(m_image, cross.x(), cross.y());
        if (value != -1)
            m_nCrossValue = value;
    }
}

void CFraloDoc::FollowImageChannels() { m_profile.channel = Channels() == 1 ? 0 : 3; }

void CFraloDoc::ComputeProfiles(int channel, int x1, int y1, int x2, int y2)
{
    ::ComputeProfiles(ViewPlanes(m_image), channel, x1, y1, x2, y2, &m_profile);
}

int32_t CFraloDoc::GetPixelValue(const Vobject& image, int x, int y)
{
    return ::GetPixelValue(ViewPlanes(image), x, y);
}

int CFraloDoc::PixelLuminance(int32_t packed, int channel)
{
    return ::PixelLuminance(packed, channel);
}
