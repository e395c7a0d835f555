// Open and save file dialogs, behind an interface for headless tests.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace lintrel {

struct FileDialogRequest
{
    QString title;
    QStringList filters; // Qt filter strings, e.g. "Text files (*.txt)"
    QString directory;   // folder to open in
    QString fileName;    // name filled in
    int filterIndex = 0; // the filter selected when the dialog opens
};

struct FileDialogChoice
{
    QString path;        // full path as chosen (before any extension rule)
    int filterIndex = 0; // the filter selected when the user confirmed
};

class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // Returns the chosen existing file, or nothing when cancelled.
    virtual std::optional<FileDialogChoice> openFile(QWidget *parent,
                                                     const FileDialogRequest &request) = 0;
    // Returns the chosen name, or nothing when cancelled. The dialog itself does not ask
    // about an existing file: the caller asks once the final name is known.
    virtual std::optional<FileDialogChoice> saveFile(QWidget *parent,
                                                     const FileDialogRequest &request) = 0;
};

class QtFileDialogs : public FileDialogs
{
public:
    std::optional<FileDialogChoice> openFile(QWidget *parent,
                                             const FileDialogRequest &request) override;
    std::optional<FileDialogChoice> saveFile(QWidget *parent,
                                             const FileDialogRequest &request) override;
};

} // namespace lintrel
