#include "file_dialogs.h"

#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QTreeView>

namespace {

// The column of the dates of change in Qt's file dialog.
constexpr int kDateColumn = 3;

// The dialog's files with their dates of change written the French way; the
// file system model writes them in the system's language.
class FrenchDates : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override
    {
        auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (files && role == Qt::DisplayRole && index.column() == kDateColumn)
            return QLocale(QLocale::French, QLocale::France)
                .toString(files->lastModified(mapToSource(index)), QLocale::ShortFormat);
        return QIdentityProxyModel::data(index, role);
    }
};

} // namespace

QString ChooseFile(QWidget* parent, QFileDialog::AcceptMode mode, const QString& path,
                   const QString& filter, QFileDialog::Options options)
{
    // A file named in `path` comes selected.
    QFileDialog dialog(parent, QString(), path, filter);
    dialog.setOptions(options | QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setProxyModel(new FrenchDates(&dialog));
    // Every column but the names takes the width of its widest text.
    if (auto* details = dialog.findChild<QTreeView*>()) {
        QHeaderView* header = details->header();
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}
