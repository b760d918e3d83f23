#include "false_color_dlg.h"

#include <imageproc/quiet_library.h>
#include <verodyn/operators.h>

#include "workbench/core/false_colour.h"
#include "workbench/doc/fralo_doc.h"

CFalseColorDlg::CFalseColorDlg(WorkbenchSettings* app, QWidget* parent)
    : CLiveViewDlg(app, TIMER_FALSE_COLOURS, parent)
{
    BuildLayout(QStringLiteral("Visualisation en fausses couleurs"),
                QStringLiteral("Image pseudo :"), 1001, 1002, nullptr, nullptr);
}

void CFalseColorDlg::ComputeResult()
{
    const std::vector<uint8_t>& grey = GreyLevels();
    for (auto& plane : m_planes)
        plane.resize(grey.size());
    FalseColourPlanes(grey.data(), grey.size(), m_planes[0].data(), m_planes[1].data(),
                      m_planes[2].data());
    QuietLibrary quiet;
    gen_image3(&m_pResultDoc->m_image, "byte", FrameWidth(), FrameHeight(), m_planes[0].data(),
               m_planes[1].data(), m_planes[2].data());
}
