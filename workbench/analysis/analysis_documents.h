// Documents in and out of the analysis dialogs: the open ones they offer, their
// pixels as the kernels take them, and the result documents they make.
#pragma once

#include <array>
#include <cstdint>

#include <QString>

#include <verodyn/object.h>

#include "metrology/kernels/phase4.h"

class DocumentService;
class CFraloDoc;

using DocumentList = std::array<CFraloDoc*, 20>;

// The open documents from the active one (ListOpenDocuments), and how many are set.
DocumentList ListedDocuments(const DocumentService& documents, int* count);

// The byte planes of `image`, with its own size, read in place.
metrology::ImagePlanes ImagePlanesOf(const Vobject& image);
// The byte planes of the document's image, with the image's own size.
metrology::ImagePlanes ImagePlanesOf(const CFraloDoc& doc);

// The refusal of an image that holds no grey levels or colours (the FFT
// family, 16-bit images), whose byte planes are missing.
inline constexpr const char* kNoGreyLevelsMessage =
    "Calcul impossible sur images FFT ou de plus de 8 bits !";

// A one-channel "byte" image of width x height, all 0, and its plane, which the
// caller fills in place.
struct ResultImage {
    Vobject image;
    std::uint8_t* plane = nullptr;
};
ResultImage NewResultImage(int width, int height);

// Gives the document `image` and `name`, updates its title and shows it.
void ShowResultImage(CFraloDoc& doc, const Vobject& image, const QString& name);
