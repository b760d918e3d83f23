#include "dialog_support.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include "workbench/common/error_edge.h"
#include "workbench/common/user_message.h"

QAbstractButton* Clicked(QAbstractButton* button, int id, std::function<void()> handler)
{
    Named(button, id);
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [handler = std::move(handler)] { RunAtErrorEdge(handler); });
    return button;
}

QDialogButtonBox* DialogButtons(QDialog* dialog, std::initializer_list<DialogButton> buttons)
{
    auto* box = new QDialogButtonBox;
    for (const DialogButton& b : buttons) {
        auto* button = Named(new QPushButton(QString::fromUtf8(b.text)), b.id);
        if (b.id == 1)
            box->addButton(button, QDialogButtonBox::AcceptRole);
        else if (b.id == 2)
            box->addButton(button, QDialogButtonBox::RejectRole);
        else
            box->addButton(Clicked(button, b.id, b.action), QDialogButtonBox::ActionRole);
    }
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

bool ReadDocumentPlanes(const Vobject& image, int width, int height, PlaneBuffers* planes)
{
    const PlaneCopy copy = ReadThreePlanes(image, width, height, planes);
    if (copy == PlaneCopy::SizeDiffers)
        UserMessage(QString::fromUtf8("Erreur sur taille image !"));
    if (copy == PlaneCopy::NoImage)
        RefuseOtherPixelTypes();
    return copy != PlaneCopy::NoImage;
}
