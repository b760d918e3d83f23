#include "preview_dlg.h"

#include <QSlider>

#include <verodyn/operators.h>

#include "dialog_support.h"
#include "slider_controls.h"
#include "workbench/common/error_edge.h"
#include "workbench/doc/fralo_doc.h"

CPreviewDlg::CPreviewDlg(CFraloDoc& doc, int timerId, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_nTimerId(timerId), m_timers([this](int id) { OnTimer(id); })
{
    copy_image(doc.m_image, &m_saved);
    m_timers.SetTimer(m_nTimerId, PreviewTiming::kTickMs);
}

void CPreviewDlg::OnTimer(int id)
{
    if (id == m_nTimerId && m_timing.Tick())
        ApplySetting();
}

QSlider* CPreviewDlg::SettingSlider(int id, int minimum, int maximum, int start)
{
    QSlider* slider = NewSlider(id, minimum, maximum, start);
    m_sliderStarts.emplace_back(slider, start);
    connect(slider, &QSlider::valueChanged, this, [this] {
        ReadSliders();
        m_timing.Moved();
    });
    return slider;
}

void CPreviewDlg::OnOriginalImage()
{
    for (const auto& [slider, start] : m_sliderStarts)
        PlaceSlider(slider, start);
    ReadSliders();
    ApplySetting();
}

void CPreviewDlg::ApplyTableToSaved(const ToneTable& table)
{
    PlaneBuffers planes;
    if (!ReadDocumentPlanes(m_saved, m_doc.m_nWidth, m_doc.m_nHeight, &planes))
        return;
    ApplyTable(table, &planes);
    Vobject image;
    GenImageFromPlanes(planes, &image);
    m_doc.SetImage(image);
    m_doc.UpdateAllViews();
}

void CPreviewDlg::RestoreSaved()
{
    Vobject copy;
    copy_image(m_saved, &copy);
    m_doc.SetImage(copy);
    m_doc.UpdateAllViews();
}

void CPreviewDlg::accept()
{
    CloseAfter(
        [this] {
            if (m_timing.TakeWaiting())
                ApplySetting();
        },
        Accepted);
}

void CPreviewDlg::reject()
{
    CloseAfter([this] { RestoreSaved(); }, Rejected);
}

void CPreviewDlg::CloseAfter(const std::function<void()>& last, int result)
{
    m_timers.KillTimer(m_nTimerId);
    if (RunAtErrorEdge(last))
        QDialog::done(result);
    else
        m_timers.SetTimer(m_nTimerId, PreviewTiming::kTickMs);
}
