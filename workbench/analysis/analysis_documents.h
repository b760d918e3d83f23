// Documents in and out of the analysis dialogs: the open ones they offer, their
// pixels as the kernels take them, and the result documents they make.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include "kernels/phase4.h"

class CFraloApp;
class CFraloDoc;

using DocumentList = std::array<CFraloDoc*, 20>;

// The open documents from the active one (ListOpenDocuments), and how many are set.
DocumentList ListedDocuments(const CFraloApp& app, int* count);

// The byte planes of the document's image, with the image's own size.
metrology::ImagePlanes ImagePlanesOf(const CFraloDoc& doc);

// A new document made by File New, given the size width x height: frame fitted,
// scroll sizes and display window extents set. Null without a main frame.
CFraloDoc* NewResultDocument(CFraloApp& app, int width, int height);

// Gives the document the one-channel width x height `plane` as its image and
// `name`, updates its title and shows it.
void ShowResultPlane(CFraloDoc& doc, const std::uint8_t* plane, int width, int height,
                     const QString& name);
