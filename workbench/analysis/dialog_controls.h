// What the analysis dialogs' controls share: names after their resource ids,
// the drop-down boxes that offer the open documents, and the OK row.
#pragma once

#include <functional>

#include <QString>

#include "analysis_documents.h"

class QComboBox;
class QDialog;
class QHBoxLayout;
class QPushButton;
class QWidget;

// "control<id>": the object name of the control with resource id `id`.
QString ControlName(int id);

// `control`, named after its resource id.
template <class Control> Control* Named(Control* control, int id)
{
    control->setObjectName(ControlName(id));
    return control;
}

// An unsorted drop-down box with an edit field, named after `id`, listing the
// names of the first `count` documents.
QComboBox* NewDocumentBox(int id, const DocumentList& documents, int count, QWidget* parent);

// Puts the text of entry `index` into the box's edit field, with no list selection.
void ShowEntryText(QComboBox* box, int index);

// "&OK", the default button named after id 1, whose clicks run `onOk`, and
// "&Quitter", which rejects the dialog, at the right end of `row`.
struct OkQuitButtons {
    QPushButton* ok;
    QHBoxLayout* row;
};
OkQuitButtons NewOkQuitButtons(QDialog* dialog, std::function<void()> onOk);
