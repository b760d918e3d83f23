#include "phase_documents.h"

#include <cstring>

#include <imageproc/plane_buffers.h>
#include <imageproc/quiet_library.h>
#include <verodyn/operators.h>

#include "camera_port.h"
#include "metrology/acquisition/view_cycle.h"
#include "workbench/analysis/analysis_documents.h"
#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/workbench_settings.h"

CFraloDoc* TakeCameraDocument(DocumentService& documents, const WorkbenchSettings& settings)
{
    CFraloDoc* active = documents.ActiveDocument();
    if (!active || !active->m_bRunResult)
        return active;
    return documents.NewImageDocument(settings.m_nDefaultWidth, settings.m_nDefaultHeight);
}

CFraloDoc* NewRunDocument(DocumentService& documents, int width, int height)
{
    CFraloDoc* doc = documents.NewImageDocument(width, height);
    if (doc)
        doc->MarkRunResult();
    return doc;
}

Vobject PlaneImage(const std::uint8_t* plane, int width, int height)
{
    ResultImage result = NewResultImage(width, height);
    std::memcpy(result.plane, plane, std::size_t(width) * std::size_t(height));
    return result.image;
}

Vobject FrameMosaic(const std::array<const std::vector<std::uint8_t>*, 4>& frames, int width,
                    int height)
{
    const acquisition::TileSize tile = acquisition::MosaicTileSize(width, height);
    QuietLibrary quiet;
    Vobject tiles;
    for (const auto* frame : frames) {
        Vobject joined;
        concat_obj(tiles,
                   ZoomedImage(PlaneImage(frame->data(), width, height), tile.width, tile.height),
                   &joined);
        tiles = joined;
    }
    Vobject mosaic;
    if (tile_images(tiles, &mosaic, 2, "horizontal") != V_OK)
        return {};
    return mosaic;
}

void ShowCopy(CFraloDoc& doc, const Vobject& image, const QString& name)
{
    Vobject copy;
    {
        QuietLibrary quiet;
        copy_image(image, &copy);
    }
    ShowResultImage(doc, copy, name);
}

bool MatchReference(CFraloDoc& doc, int width, int height)
{
    Vobject reference = ZoomedImage(doc.m_image, width, height);
    {
        QuietLibrary quiet;
        Vobject first;
        if (access_channel(reference, &first, 1) == V_OK)
            reference = first;
    }
    const PlaneView view = ViewPlanes(reference);
    if (view.channels != 1 || view.width != width || view.height != height)
        return false;
    doc.SetImage(reference);
    return true;
}
