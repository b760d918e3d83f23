#include "profile_workbook.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "overlay_rules.h"

namespace {

struct ColumnSpec {
    int field;          // float of the point
    bool xy;            // scaled by the xy calibration, else by z
    const char* mm;     // title when calibrated
    const char* pixels; // title when not
};

constexpr std::array<ColumnSpec, 6> kColumns = {{
    {0, true, "x(mm)", "iH(pixel)"},
    {1, false, "zH(mm)", "wH(luminance)"},
    {2, false, "GaussH(mm)", "GaussH"},
    {4, true, "y(mm)", "jV(pixel)"},
    {3, false, "zV(mm)", "wV(luminance)"},
    {5, false, "GaussV(mm)", "GaussV"},
}};

// The number the cell's text denotes.
double CellNumber(float value, bool calibrated, float scale)
{
    char text[64];
    if (calibrated)
        std::snprintf(text, sizeof text, "%1.3e", double(value / scale));
    else
        std::snprintf(text, sizeof text, "%1.0f", double(value));
    return std::strtod(text, nullptr);
}

ProfileChart Chart(bool horizontal, int yColumn, const ProfileExportSource& s)
{
    ProfileChart c;
    c.xColumn = horizontal ? 0 : 3;
    c.yColumn = yColumn;
    c.title =
        horizontal ? "Profil horizontal" : "Profil vertical\n(A tourner dans le sens horaire)";
    c.series = horizontal ? "Tracé horiz." : "Tracé vert.";
    c.xTitle = std::string(horizontal ? "iH" : "jV") + (s.calibratedXY ? "(mm)" : "(pixel)");
    c.xScientific = s.calibratedXY;
    c.yScientific = s.calibratedZ;
    return c;
}

} // namespace

ProfileWorkbook BuildProfileWorkbook(const ProfileExportSource& s)
{
    ProfileWorkbook book;
    const ProfileState& p = *s.profile;
    const ZoneProfiles zone = ProfilesOfZone(p.x1, p.y1, p.x2, p.y2);
    const std::array<bool, 6> exists = {
        zone.horizontal, zone.horizontal, zone.horizontal && s.gaussFit,
        zone.vertical,   zone.vertical,   zone.vertical && s.gaussFit};
    for (int c = 0; c < 6; ++c) {
        const bool calibrated = kColumns[c].xy ? s.calibratedXY : s.calibratedZ;
        if (exists[c])
            book.titles[c] = calibrated ? kColumns[c].mm : kColumns[c].pixels;
    }
    const int n = std::min<int>(p.count, int(p.points.size()));
    book.rows.resize(n);
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < 6; ++c) {
            const ColumnSpec& spec = kColumns[c];
            const float value = p.points[i][spec.field];
            if (!exists[c] || value == kNoPoint)
                continue;
            book.rows[i][c] = spec.xy ? CellNumber(value, s.calibratedXY, s.scaleXY)
                                      : CellNumber(value, s.calibratedZ, s.scaleZ);
        }
    // A chart over no row would name a reversed range.
    if (n == 0)
        return book;
    if (exists[1])
        book.charts.push_back(Chart(true, 1, s));
    if (exists[2])
        book.charts.push_back(Chart(true, 2, s));
    if (exists[4])
        book.charts.push_back(Chart(false, 4, s));
    if (exists[5])
        book.charts.push_back(Chart(false, 5, s));
    return book;
}

std::string WorkbookFileName(const std::string& documentName, int attempt)
{
    const size_t dot = documentName.find_last_of('.');
    std::string base =
        dot == std::string::npos || dot == 0 ? documentName : documentName.substr(0, dot);
    const std::string suffix =
        (attempt > 1 ? " (" + std::to_string(attempt) + ")" : std::string()) + ".xlsx";
    // A folder entry holds 255 bytes: a long name is cut, on a whole UTF-8
    // character, so the numbering and the extension are kept.
    constexpr size_t kMostNameBytes = 255;
    if (base.size() + suffix.size() > kMostNameBytes) {
        size_t kept = kMostNameBytes - suffix.size();
        while (kept > 0 && (static_cast<unsigned char>(base[kept]) & 0xC0) == 0x80)
            --kept;
        base.resize(kept);
    }
    return base + suffix;
}
