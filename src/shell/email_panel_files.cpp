// The email panel's file commands: Import From File, Save To File and their dialog memories.
#include "shell/email_panel.h"

#include "formatter/text_file.h"
#include "shell/frm_main.h"
#include "ui/file_dialogs.h"
#include "ui/message_boxes.h"
#include "util/file_filter.h"

#include <QFileInfo>
#include <QPlainTextEdit>

namespace lintrel {

namespace {

// The chosen name with the save rule of the chosen filter applied.
QString savePathFor(const FileDialogChoice &choice)
{
    const auto filters = parseFileFilter(kTextFileFilter);
    const std::string mask = choice.filterIndex >= 0 && choice.filterIndex < int(filters.size())
                                 ? filters[size_t(choice.filterIndex)].mask
                                 : std::string("*.*");
    return QString::fromStdString(applySaveExtension(choice.path.toStdString(), mask));
}

} // namespace

FileDialogRequest EmailPanel::dialogRequest(const QString &title, const DialogMemory &memory) const
{
    FileDialogRequest request;
    request.title = title;
    for (const auto &choice : parseFileFilter(kTextFileFilter))
        request.filters << QString::fromStdString(qtNameFilter(choice));
    request.directory = memory.directory.isEmpty() ? window_.exeDir() : memory.directory;
    request.fileName = memory.fileName;
    request.filterIndex = memory.filterIndex;
    return request;
}

void EmailPanel::remember(DialogMemory &memory, const FileDialogChoice &choice, const QString &path)
{
    const QFileInfo info(path);
    memory.directory = info.absolutePath();
    memory.fileName = info.fileName();
    memory.filterIndex = choice.filterIndex;
}

void EmailPanel::btnImportClick()
{
    const auto choice = window_.dialogs().openFile(
        &window_, dialogRequest(QStringLiteral("Open file"), openMemory_));
    if (!choice)
        return;
    remember(openMemory_, *choice, choice->path);
    if (QFileInfo::exists(choice->path))
        importFile(choice->path);
}

void EmailPanel::importFile(const QString &path)
{
    const QString loaded = [&] { // the file's bytes go before the text is set
        const std::string text = importTextFile(path.toStdString(), "\n");
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }();
    if (loaded.size() != memEmail->document()->characterCount() - 1 || loaded != editorText())
        replaceEditorText(loaded);
}

void EmailPanel::btnSaveClick()
{
    if (QString path; chooseSavePath(path))
        saveTextTo(path, editorText());
}

// The save dialog with its extension rule and the question before replacing a file.
bool EmailPanel::chooseSavePath(QString &path)
{
    const auto choice = window_.dialogs().saveFile(
        &window_, dialogRequest(QStringLiteral("Save file"), saveMemory_));
    if (!choice)
        return false;
    path = savePathFor(*choice);
    remember(saveMemory_, *choice, path);
    return !QFileInfo::exists(path) ||
           window_.msgMain().show(
               &window_,
               QStringLiteral("\"%1\" already exists.\nDo you want to replace it?").arg(path),
               MessageKind::Information, MessageButtons::OkCancel) == MessageAnswer::Ok;
}

void EmailPanel::saveTextTo(const QString &path, QString text)
{
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray bytes = text.toUtf8();
    writeTextFile(path.toStdString(), std::string_view(bytes.constData(), size_t(bytes.size())));
}

} // namespace lintrel
