#include "analysis_documents.h"

#include <verodyn/operators.h>

#include "fralo_app.h"
#include "fralo_doc.h"
#include "fralo_view.h"
#include "plane_buffers.h"

DocumentList ListedDocuments(const CFraloApp& app, int* count)
{
    DocumentList list;
    app.ListOpenDocuments(list);
    *count = 0;
    while (*count < int(list.size()) && list[*count])
        ++*count;
    return list;
}

metrology::ImagePlanes ImagePlanesOf(const CFraloDoc& doc)
{
    const PlaneView view = ViewPlanes(doc.m_image);
    metrology::ImagePlanes planes;
    planes.width = view.width;
    planes.height = view.height;
    planes.channels = view.channels;
    for (int c = 0; c < view.channels; ++c)
        planes.plane[c] = view.planes[c];
    return planes;
}

CFraloDoc* NewResultDocument(CFraloApp& app, int width, int height)
{
    CFraloDoc* doc = app.NewImageDocument(width, height);
    if (!doc)
        return nullptr;
    doc->m_nWidth = static_cast<int16_t>(width);
    doc->m_nHeight = static_cast<int16_t>(height);
    doc->FitFrameToImage(width, height);
    doc->UpdateScrollSizes(width, height);
    if (doc->m_pView)
        doc->m_pView->SetWindowExtents(width, height);
    return doc;
}

void ShowResultPlane(CFraloDoc& doc, const std::uint8_t* plane, int width, int height,
                     const QString& name)
{
    Vobject image;
    gen_image1(&image, "byte", width, height, plane);
    doc.SetImage(image);
    doc.m_strName = name;
    doc.UpdateTitle();
    if (doc.m_pView)
        doc.m_pView->DisplayImage();
}
