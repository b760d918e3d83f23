// The spreadsheet library writes each part of a workbook to a temporary file
// before packing it, and does not report a failed write there: a full
// temporary folder or a file-size limit leaves parts cut short in a workbook
// it says written. What it wrote is therefore read back.
#pragma once

#include <QString>

// True when every part of the workbook at `path` unpacks whole and each XML
// part ends with the end of its root element.
bool WorkbookIsWhole(const QString& path);
