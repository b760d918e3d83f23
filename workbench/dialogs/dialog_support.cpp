#include "dialog_support.h"

#include <QAbstractButton>

#include "error_edge.h"
#include "user_message.h"

QAbstractButton* Clicked(QAbstractButton* button, int id, std::function<void()> handler)
{
    Named(button, id);
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [handler = std::move(handler)] { RunAtErrorEdge(handler); });
    return button;
}

bool ReadDocumentPlanes(const Vobject& image, int width, int height, PlaneBuffers* planes)
{
    const PlaneCopy copy = ReadThreePlanes(image, width, height, planes);
    if (copy == PlaneCopy::SizeDiffers)
        UserMessage(QString::fromUtf8("Erreur sur taille image !"));
    return copy != PlaneCopy::NoImage;
}
