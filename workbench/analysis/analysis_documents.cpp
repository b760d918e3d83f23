#include "analysis_documents.h"

#include <imageproc/plane_buffers.h>
#include <verodyn/operators.h>

#include "workbench/doc/fralo_doc.h"
#include "workbench/faces/documents.h"
#include "workbench/faces/image_view.h"

DocumentList ListedDocuments(const DocumentService& documents, int* count)
{
    DocumentList list;
    documents.ListOpenDocuments(list);
    *count = 0;
    while (*count < int(list.size()) && list[*count])
        ++*count;
    return list;
}

metrology::ImagePlanes ImagePlanesOf(const CFraloDoc& doc) { return ImagePlanesOf(doc.m_image); }

metrology::ImagePlanes ImagePlanesOf(const Vobject& image)
{
    const PlaneView view = ViewPlanes(image);
    metrology::ImagePlanes planes;
    planes.width = view.width;
    planes.height = view.height;
    planes.channels = view.channels;
    for (int c = 0; c < view.channels; ++c)
        planes.plane[c] = view.planes[c];
    return planes;
}

ResultImage NewResultImage(int width, int height)
{
    ResultImage result;
    gen_image_const(&result.image, "byte", width, height);
    result.plane = result.image.image(0)->plane_as<std::uint8_t>(0);
    return result;
}

void ShowResultImage(CFraloDoc& doc, const Vobject& image, const QString& name)
{
    doc.SetImage(image);
    doc.SetName(name);
    doc.UpdateTitle();
    if (doc.m_pView)
        doc.m_pView->DisplayImage();
}
