// The frame's commands that act on the active image: the FFT family, colour
// and grey conversions, the negative, the fits of the profiles, the 3-D
// view, the spreadsheet export and the online help.
#include <functional>

#include <verodyn/operators.h>

#include <imageproc/plane_buffers.h>
#include <imageproc/quiet_library.h>

#include "about_dlg.h"
#include "main_frame.h"
#include "workbench/common/error_edge.h"
#include "workbench/common/user_message.h"
#include "workbench/core/save_rules.h"
#include "workbench/dialogs/dialog_support.h"
#include "workbench/dialogs/view3d_dlg.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/export/excel_export.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"
#include "workbench/view/fralo_view.h"

namespace {

void Redraw(CFraloDoc& doc)
{
    if (doc.m_pView)
        doc.m_pView->DisplayImage();
}

// A result document takes its image, and its title the image's size.
void ShowResult(CFraloDoc& result, const Vobject& image)
{
    result.SetImage(image);
    result.UpdateTitle();
    Redraw(result);
}

} // namespace

CFraloDoc* CMainFrame::NewResultDocument(const CFraloDoc& source, const ImageOperator& op,
                                         const char* failure, int kind)
{
    // The image is made first: a failure leaves no empty document and takes
    // no image number.
    Vobject made;
    Vstatus status;
    {
        QuietLibrary quiet;
        status = op(source.m_image, &made);
    }
    if (status != V_OK) {
        UserMessage(failure ? QString::fromUtf8(failure)
                            : LibraryFailureText(status, vlast_error()));
        return nullptr;
    }
    CFraloDoc* result = NewDocument(source.m_nWidth, source.m_nHeight);
    result->SetKind(kind); // before it is shown: FFT images are shown on their own scale
    ShowResult(*result, made);
    return result;
}

void CMainFrame::RunFftCommand(const char* nameFormat, int kind,
                               int (*op)(const Vobject&, Vobject*), const char* failure)
{
    CFraloDoc* source = ActiveDocument();
    if (!source)
        return;
    CFraloDoc* result = NewResultDocument(*source, op, failure, kind);
    if (!result)
        return;
    result->SetName(QString::asprintf(nameFormat, int(m_pApp->m_nImageCounter)));
    result->UpdateTitle();
}

void CMainFrame::OnFft()
{
    RunFftCommand("Fft%d", KindComplexFft, fft_image, "Image FFT complexe non calculable !");
}

void CMainFrame::OnFftInverse()
{
    RunFftCommand("FftInv%d", 0, fft_image_inv, "Image FFT inverse non calculable !");
}

void CMainFrame::OnFftPhase()
{
    RunFftCommand("FftPhase%d", KindFftDerived, phase_deg, "Phase de l'image FFT non calculable !");
}

void CMainFrame::OnFftModulus()
{
    RunFftCommand("FftModule%d", KindFftDerived, power_real,
                  "Module de l'image FFT non calculable !");
}

void CMainFrame::OnRgbToGrey()
{
    CFraloDoc* source = ActiveDocument();
    if (!source)
        return;
    const int kind = source->m_nKind;
    const auto grey = [kind](const Vobject& image, Vobject* out) -> Vstatus {
        if (kind & KindComplexFft)
            return power_byte(image, out);
        if (kind & KindFftDerived)
            return convert_image_type(image, out, "byte");
        return access_channel(image, out, 1);
    };
    NewResultDocument(*source, grey, "Image NG non calculable !", 0);
}

void CMainFrame::OnGreyToRgb()
{
    CFraloDoc* source = ActiveDocument();
    if (!source)
        return;
    if (ViewPlanes(source->m_image).channels == 0)
        return RefuseOtherPixelTypes();
    // The plane is read at the image's own size, which the document's may not be.
    const auto colour = [](const Vobject& image, Vobject* out) -> Vstatus {
        const PlaneView grey = ViewPlanes(image);
        return gen_image3(out, "byte", grey.width, grey.height, grey.planes[0], grey.planes[0],
                          grey.planes[0]);
    };
    NewResultDocument(*source, colour, nullptr, 0);
}

void CMainFrame::OnNegative()
{
    CFraloDoc* doc = ActiveDocument();
    if (!doc)
        return;
    // A failure reaches the error edge, which says why; the image stays as it was.
    invert_image(doc->m_image, &doc->m_image);
    Redraw(*doc);
}

void CMainFrame::OnGaussFit()
{
    CFraloDoc* doc = ActiveDocument();
    if (!doc)
        return;
    doc->ToggleGaussFit();
    Redraw(*doc);
}

void CMainFrame::OnView3D()
{
    CFraloDoc* doc = ActiveDocument();
    if (!doc)
        return;
    // The cloud stands on grey levels of 8 bits.
    if (ViewPlanes(doc->m_image).channels == 0)
        return RefuseOtherPixelTypes();
    CView3DDlg dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnExportExcel()
{
    CExcelExport exporter;
    if (exporter.Export(ActiveDocument()) && exporter.Opened())
        UserMessage(QString::fromUtf8("Exportation vers Excel demandée...\nClasseur écrit dans\n") +
                    exporter.WrittenPath());
}

void CMainFrame::OnOnlineHelp() { CAboutDlg::OnOnlineHelp(); }
