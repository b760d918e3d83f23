#include "dialog_controls.h"

#include <QComboBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

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

OkQuitButtons NewOkQuitButtons(QDialog* dialog, std::function<void()> onOk)
{
    auto* ok = Named(new QPushButton(QStringLiteral("&OK"), dialog), 1);
    ok->setDefault(true);
    auto* quit = new QPushButton(QStringLiteral("&Quitter"), dialog);
    QObject::connect(ok, &QPushButton::clicked, dialog, std::move(onOk));
    QObject::connect(quit, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(quit);
    return {ok, row};
}
