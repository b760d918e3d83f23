#include "workbench_settings.h"

namespace {

WorkbenchSettings* g_settings = nullptr;

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

SettingsRecord WorkbenchSettings::Persisted() const
{
    return {m_nSource,    m_nDefaultWidth, m_nDefaultHeight,
            m_nSizeIndex, m_nSupplyModel,  m_nSupplyFullScale};
}

void WorkbenchSettings::TakePersisted(const SettingsRecord& r)
{
    m_nSource = r.m_nSource;
    m_nDefaultWidth = r.m_nDefaultWidth;
    m_nDefaultHeight = r.m_nDefaultHeight;
    m_nSizeIndex = r.m_nSizeIndex;
    m_nSupplyModel = r.m_nSupplyModel;
    m_nSupplyFullScale = r.m_nSupplyFullScale;
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
