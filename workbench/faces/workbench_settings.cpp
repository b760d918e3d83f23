#include "workbench_settings.h"

namespace {

WorkbenchSettings* g_settings = nullptr;

constexpr int16_t kSupply1FullScale = 500;
constexpr int16_t kSupply2FullScale = 100;

} // namespace

WorkbenchSettings* Settings() { return g_settings; }

void SetSettings(WorkbenchSettings* settings) { g_settings = settings; }

QColor ColorFromRef(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

void WorkbenchSettings::CreatePensAndFonts()
{
    for (int i = 0; i < 7; ++i)
        m_pens[i] = QPen(ColorFromRef(m_colors[i]), m_nPenWidth, Qt::SolidLine);
    m_pens[7] = QPen(ColorFromRef(m_colors[7]), 0, Qt::DotLine);
    m_font = QFont(QStringLiteral("Arial"));
    m_font.setPixelSize(m_nFontHeight);
}

SettingsRecord WorkbenchSettings::Persisted() const { return *this; }

void WorkbenchSettings::TakePersisted(const SettingsRecord& r)
{
    SettingsRecord::operator=(r);
    FillSizeTable(m_nSource);
}

void WorkbenchSettings::FillSizeTable(int source)
{
    m_sizeTable = ::FillSizeTable(source, {m_nChildWidth, m_nChildHeight});
}

bool WorkbenchSettings::IsSizeAllowed(int, int width, int height)
{
    if (SizeInTable(m_sizeTable, width, height))
        return true;
    m_nSizeIndex = 0;
    GetSize(0, &m_nDefaultWidth, &m_nDefaultHeight);
    return false;
}

int WorkbenchSettings::GetSize(int index, int16_t* width, int16_t* height) const
{
    int w = 0, h = 0;
    int result = ::GetSize(m_sizeTable, index, &w, &h);
    *width = static_cast<int16_t>(w);
    *height = static_cast<int16_t>(h);
    return result;
}

void WorkbenchSettings::ChooseSource(int source)
{
    m_nSource = static_cast<int16_t>(source);
    FillSizeTable(source);
}

void WorkbenchSettings::DropSource() { m_nSource = 0; }

void WorkbenchSettings::SelectSize(int index)
{
    if (index >= 0)
        m_nSizeIndex = static_cast<int16_t>(index);
    int16_t width = 0, height = 0;
    if (GetSize(m_nSizeIndex, &width, &height) == 0)
        SetDefaultSize(width, height);
}

void WorkbenchSettings::SetDefaultSize(int width, int height)
{
    m_nDefaultWidth = static_cast<int16_t>(width);
    m_nDefaultHeight = static_cast<int16_t>(height);
}

void WorkbenchSettings::SetSupplyModel(int model)
{
    m_nSupplyModel = static_cast<int16_t>(model);
    m_nSupplyFullScale = model ? kSupply2FullScale : kSupply1FullScale;
}

void WorkbenchSettings::KeepPiezoSettings(int comPort, int fullScale, int sliderPos)
{
    m_nComPort = static_cast<int16_t>(comPort);
    m_nSupplyFullScale = static_cast<int16_t>(fullScale);
    SetSliderPosition(sliderPos);
}

void WorkbenchSettings::SetSliderPosition(int position)
{
    m_nSliderPos = static_cast<int16_t>(position);
}

void WorkbenchSettings::SetFringePattern(int period, int mean, float contrast)
{
    SetFringePeriod(period);
    m_nFringeMean = static_cast<int16_t>(mean);
    m_fFringeContrast = contrast;
}

void WorkbenchSettings::SetFringePeriod(int period)
{
    m_nFringePeriod = static_cast<int16_t>(period);
}

void WorkbenchSettings::SetPhaseSteps(const std::array<int16_t, 4>& setpoints)
{
    m_nPhaseSteps = setpoints;
}

void WorkbenchSettings::SetStagePositions(const std::array<float, 4>& positions)
{
    m_fStagePos = positions;
}

void WorkbenchSettings::SetStepperPositions(const std::array<int16_t, 4>& positions)
{
    m_nStepperPos = positions;
}

void WorkbenchSettings::SetMaskShape(int shape) { m_nMaskShape = static_cast<int16_t>(shape); }

namespace {

template <class Window> void Forget(Window*& slot, const Window* window)
{
    if (slot == window)
        slot = nullptr;
}

} // namespace

void WorkbenchSettings::RegisterZoneWindow(CMouseCoordsDlg* window) { m_pMouseCoordsDlg = window; }
void WorkbenchSettings::RegisterZoneWindow(CExtractImageDlg* window) { m_pExtractDlg = window; }
void WorkbenchSettings::RegisterZoneWindow(MaskEditor* window) { m_pMaskDlg = window; }
void WorkbenchSettings::ForgetZoneWindow(const CMouseCoordsDlg* window)
{
    Forget(m_pMouseCoordsDlg, window);
}
void WorkbenchSettings::ForgetZoneWindow(const CExtractImageDlg* window)
{
    Forget(m_pExtractDlg, window);
}
void WorkbenchSettings::ForgetZoneWindow(const MaskEditor* window) { Forget(m_pMaskDlg, window); }

void WorkbenchSettings::SetCopiedDocument(CFraloDoc* doc) { m_pCopiedDoc = doc; }

void WorkbenchSettings::ForgetDocument(const CFraloDoc* doc) { Forget(m_pCopiedDoc, doc); }

void WorkbenchSettings::DocumentOpened()
{
    ++m_nOpenImages;
    ++m_nImageCounter;
}

void WorkbenchSettings::DocumentClosed() { --m_nOpenImages; }
