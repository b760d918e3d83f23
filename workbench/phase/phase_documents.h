// Images the phase pages make from their planes, and what they show in their
// documents.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include <QString>

#include <verodyn/object.h>

class CFraloDoc;
class DocumentService;
class WorkbenchSettings;

// The camera document of a page that opens now: the active document, unless
// it holds the result of a run (which live frames would overwrite), then a
// new document. Null without a document and without a main frame.
CFraloDoc* TakeCameraDocument(DocumentService& documents, const WorkbenchSettings& settings);
// A new document for a run's result (NewImageDocument), never to be taken
// as a camera.
CFraloDoc* NewRunDocument(DocumentService& documents, int width, int height);

// A "byte" image holding a copy of the width x height `plane`.
Vobject PlaneImage(const std::uint8_t* plane, int width, int height);

// The "Im0_270" mosaic of four width x height frames: each resized to the
// mosaic's tile, two per row. Empty when it cannot be made.
Vobject FrameMosaic(const std::array<const std::vector<std::uint8_t>*, 4>& frames, int width,
                    int height);

// `doc` shows a copy of `image` under `name`.
void ShowCopy(CFraloDoc& doc, const Vobject& image, const QString& name);

// The image of `doc` resized to width x height and reduced to its first
// channel, kept by the document; false (the document unchanged) when it
// cannot be brought to that size.
bool MatchReference(CFraloDoc& doc, int width, int height);
