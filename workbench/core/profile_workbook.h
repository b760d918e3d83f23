// What the spreadsheet export of a document's profiles holds: the sheet of
// values and the charts drawn from it, decided without the spreadsheet library.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include <imageproc/profiles.h>

// The document state the export reads.
struct ProfileExportSource {
    const ProfileState* profile = nullptr; // zone corners, points and their count
    bool gaussFit = false;
    bool calibratedXY = false;
    float scaleXY = 1.0f; // pixels per millimetre
    bool calibratedZ = false;
    float scaleZ = 1.0f; // grey levels per millimetre
};

// One XY-scatter chart of two sheet columns (0 = A) over the data rows.
struct ProfileChart {
    int xColumn = 0;
    int yColumn = 0;
    std::string title;
    std::string series;
    std::string xTitle;
    bool xScientific = false; // axis numbers as "0.0E+0"
    bool yScientific = false;
};

struct ProfileWorkbook {
    static constexpr const char* kSheetName = "Profil(s)";
    static constexpr const char* kHeading = "LOGICIEL ONDULA4"; // cell A1
    static constexpr int kFirstDataRow = 3;                     // spreadsheet rows count from 1
    std::array<std::string, 6> titles;                          // row 2, A..F; empty: no column
    // Data row i is spreadsheet row kFirstDataRow + i; an empty cell has no value.
    std::vector<std::array<std::optional<double>, 6>> rows;
    std::vector<ProfileChart> charts;
};

// Columns A..F hold the horizontal profile's x and luminance and its fit, then
// the vertical profile's y and luminance and its fit; a column exists when its
// profile does (the zone more than 10 pixels along it) and, for a fit, while
// fits are drawn. One row per point: a cell holds the number "%1.3e" of the
// value divided by its scale (x and y by the xy scale, the others by the z
// scale) when calibrated, "%1.0f" of the value when not, read back as a
// number; it is empty when its column is missing or the sample is unset.
// One chart per existing profile and fit, in that order, when there is a row.
ProfileWorkbook BuildProfileWorkbook(const ProfileExportSource& source);

// The workbook's file name for the document named `documentName` (its last
// suffix dropped): "<name>.xlsx", then "<name> (2).xlsx", ... for `attempt` 1, 2, ...
// The name part is cut so that the whole fits in a folder entry.
std::string WorkbookFileName(const std::string& documentName, int attempt);
