#include "dialog_controls.h"

#include <QComboBox>

#include "workbench/doc/fralo_doc.h"

QString ControlName(int id) { return QStringLiteral("control%1").arg(id); }

QComboBox* NewDocumentBox(int id, const DocumentList& documents, int count, QWidget* parent)
{
    auto* box = Named(new QComboBox(parent), id);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (int i = 0; i < count; ++i)
        box->addItem(documents[i]->m_strName);
    return box;
}

void ShowEntryText(QComboBox* box, int index)
{
    box->setCurrentIndex(-1);
    box->setEditText(box->itemText(index));
}
