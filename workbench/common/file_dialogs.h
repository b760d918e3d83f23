// The program's file dialogs: Qt's own on every desktop, so that they are in
// French throughout, dates of files included, with the columns of the detail
// view as wide as what they show.
#pragma once

#include <QFileDialog>

// Runs a file dialog for opening (AcceptOpen) or saving (AcceptSave) that
// starts at `path` and offers `filter` (Qt's form: "Name (*.a *.b);;...").
// The chosen path, or empty when the user cancels.
QString ChooseFile(QWidget* parent, QFileDialog::AcceptMode mode, const QString& path,
                   const QString& filter, QFileDialog::Options options = {});
