// File dialogs on QFileDialog.
#include "ui/file_dialogs.h"

#include <QDir>
#include <QFileDialog>

namespace lintrel {

namespace {

std::optional<FileDialogChoice> runDialog(QWidget *parent, const FileDialogRequest &request,
                                          QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(request.filters);
    if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
        dialog.selectNameFilter(request.filters.at(request.filterIndex));
    if (!request.fileName.isEmpty())
        dialog.selectFile(QDir(request.directory).filePath(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileDialogChoice{
        dialog.selectedFiles().constFirst(),
        std::max(0, static_cast<int>(request.filters.indexOf(dialog.selectedNameFilter())))};
}

} // namespace

std::optional<FileDialogChoice> QtFileDialogs::openFile(QWidget *parent,
                                                        const FileDialogRequest &request)
{
    return runDialog(parent, request, QFileDialog::AcceptOpen);
}

std::optional<FileDialogChoice> QtFileDialogs::saveFile(QWidget *parent,
                                                        const FileDialogRequest &request)
{
    return runDialog(parent, request, QFileDialog::AcceptSave);
}

} // namespace lintrel
