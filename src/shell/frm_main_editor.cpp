// The email editor of the main window: statistics, Format and the five editor commands.
#include "shell/frm_main.h"

#include "formatter/text_file.h"
#include "formatter/text_stats.h"
#include "ui/clipboard.h"
#include "ui/document_edits.h"
#include "ui/document_stats.h"
#include "ui/error_handler.h"
#include "ui/file_dialogs.h"
#include "ui/message_boxes.h"
#include "util/errors.h"
#include "util/fields.h"
#include "util/file_filter.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>

namespace lintrel {

namespace {

// Keys the maximum-line-length field takes: digits, one minus sign, control keys but Enter.
bool maxLineKeyAccepted(const QKeyEvent &key, const QLineEdit &field)
{
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        return false;
    const QString typed = key.text();
    if (typed.isEmpty() || typed.at(0).unicode() < 0x20 || typed.at(0).unicode() == 0x7f ||
        (key.modifiers() & Qt::ControlModifier))
        return true; // navigation, editing and shortcut keys
    if (typed.size() == 1 && typed.at(0).isDigit() && typed.at(0).unicode() < 0x80)
        return true;
    if (typed == QLatin1String("-")) {
        QString rest = field.text();
        if (field.hasSelectedText())
            rest.remove(field.selectionStart(), field.selectedText().size());
        return !rest.contains(QLatin1Char('-'));
    }
    return false;
}

} // namespace

void TfrmMain::setUpEditor()
{
    statistics_ = new DocumentStatistics(memEmail->document(), memEmail);
    edtMaxLine->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?[0-9]*")), edtMaxLine));
    edtMaxLine->installEventFilter(this);
    memEmail->viewport()->installEventFilter(this);
    memEmail->setAcceptDrops(true);

    connect(edtMaxLine, &QLineEdit::textChanged, this, &TfrmMain::edtMaxLineChange);
    connect(bsSkinButton5, &QPushButton::clicked, this,
            [this] { runGuarded([this] { bsSkinButton5Click(); }); });
    connect(btnSelect, &QPushButton::clicked, this, &TfrmMain::btnSelectClick);
    connect(btnClear, &QPushButton::clicked, this, &TfrmMain::btnClearClick);
    connect(btnImport, &QPushButton::clicked, this,
            [this] { runGuarded([this] { btnImportClick(); }); });
    connect(btnCopy, &QPushButton::clicked, this, &TfrmMain::btnCopyClick);
    connect(btnSave, &QPushButton::clicked, this,
            [this] { runGuarded([this] { btnSaveClick(); }); });

    auto *importKey = new QShortcut(QKeySequence::Open, stsMain);
    importKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(importKey, &QShortcut::activated, btnImport, &QPushButton::click);
    auto *saveKey = new QShortcut(QKeySequence::Save, stsMain);
    saveKey->setContext(Qt::WidgetWithChildrenShortcut);
    connect(saveKey, &QShortcut::activated, btnSave, &QPushButton::click);
}

bool TfrmMain::editorEventFilter(QObject *watched, QEvent *event)
{
    if (!memEmail || !edtMaxLine)
        return false; // still being built
    if (watched == edtMaxLine && event->type() == QEvent::KeyPress) {
        if (!maxLineKeyAccepted(*static_cast<QKeyEvent *>(event), *edtMaxLine)) {
            QApplication::beep();
            return true;
        }
        return false;
    }
    if (watched == memEmail && event->type() == QEvent::KeyPress) {
        // Shift+Enter would insert a line separator inside the line; make it a real break.
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ShiftModifier)) {
            memEmail->textCursor().insertBlock();
            return true;
        }
        return false;
    }
    if (watched == memEmail->viewport()) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto *drag = static_cast<QDropEvent *>(event);
            if (drag->mimeData()->hasUrls()) {
                drag->acceptProposedAction();
                return true;
            }
        } else if (event->type() == QEvent::Drop) {
            auto *drop = static_cast<QDropEvent *>(event);
            const auto urls = drop->mimeData()->urls();
            if (!urls.isEmpty() && urls.first().isLocalFile()) {
                drop->acceptProposedAction();
                const QString path = urls.first().toLocalFile();
                runGuarded([&] { importFile(path); });
                return true;
            }
        }
    }
    return false;
}

QString TfrmMain::editorText() const
{
    // Blocks are separated by U+2029 in the raw text; the core expects line feeds.
    QString text = memEmail->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void TfrmMain::replaceEditorText(const QString &text)
{
    replaceDocumentText(*memEmail, text, *statistics_);
}

void TfrmMain::memEmailChange()
{
    // The counts follow every change of the text line by line (statistics_); they are
    // those of the whole text without reading it again.
    UpdateTextStatistics(statistics_->stats());
}

void TfrmMain::UpdateTextStatistics(const TextStats &stats)
{
    edtWords1->setText(QString::number(stats.words));
    edtSenten1->setText(QString::number(stats.sentences));
    edtParag1->setText(QString::number(stats.paragraphs));
    edtLines->setText(QString::number(stats.lines));
    edtChars->setText(QString::number(stats.characters));
    edtLong->setText(QString::number(stats.longestLine));
}

void TfrmMain::edtMaxLineChange()
{
    // While the text is not a whole number the last valid value stays in force.
    const QByteArray text = edtMaxLine->text().toLatin1();
    if (const auto value = parseInt32(std::string_view(text.constData(), size_t(text.size()))))
        maxLineLength_ = *value;
}

void TfrmMain::bsSkinButton5Click()
{
    if (maxLineLength_ < 1) {
        msgMain().show(this,
                       QStringLiteral("The maximum line length must be at least 1. "
                                      "The text was not changed."),
                       MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    wrapDocumentLines(*memEmail, maxLineLength_, *statistics_);
}

void TfrmMain::btnSelectClick()
{
    memEmail->selectAll();
}

void TfrmMain::btnClearClick()
{
    // Undoable, and the statistics follow (all six fields show 0).
    replaceEditorText(QString());
}

void TfrmMain::btnCopyClick()
{
    QString text = editorText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    clipboard_->setText(text);
}

FileDialogRequest TfrmMain::dialogRequest(const QString &title, const DialogMemory &memory) const
{
    FileDialogRequest request;
    request.title = title;
    for (const auto &choice : parseFileFilter(kTextFileFilter))
        request.filters << QString::fromStdString(qtNameFilter(choice));
    request.directory = memory.directory.isEmpty() ? exeDir() : memory.directory;
    request.fileName = memory.fileName;
    request.filterIndex = memory.filterIndex;
    return request;
}

void TfrmMain::remember(DialogMemory &memory, const FileDialogChoice &choice, const QString &path)
{
    const QFileInfo info(path);
    memory.directory = info.absolutePath();
    memory.fileName = info.fileName();
    memory.filterIndex = choice.filterIndex;
}

void TfrmMain::btnImportClick()
{
    const auto choice =
        dialogs_->openFile(this, dialogRequest(QStringLiteral("Open file"), openMemory_));
    if (!choice)
        return;
    remember(openMemory_, *choice, choice->path);
    if (QFileInfo::exists(choice->path))
        importFile(choice->path);
}

void TfrmMain::importFile(const QString &path)
{
    const QString loaded = [&] { // the bytes go before the text is set
        const std::string text = importTextFile(path.toStdString(), "\n");
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }();
    if (loaded.size() != memEmail->document()->characterCount() - 1 || loaded != editorText())
        replaceEditorText(loaded);
}

void TfrmMain::btnSaveClick()
{
    const auto choice =
        dialogs_->saveFile(this, dialogRequest(QStringLiteral("Save file"), saveMemory_));
    if (!choice)
        return;
    const auto filters = parseFileFilter(kTextFileFilter);
    const std::string mask = choice->filterIndex >= 0 && choice->filterIndex < int(filters.size())
                                 ? filters[size_t(choice->filterIndex)].mask
                                 : std::string("*.*");
    const QString path =
        QString::fromStdString(applySaveExtension(choice->path.toStdString(), mask));
    remember(saveMemory_, *choice, path);
    if (QFileInfo::exists(path) &&
        msgMain().show(
            this, QStringLiteral("\"%1\" already exists.\nDo you want to replace it?").arg(path),
            MessageKind::Information, MessageButtons::OkCancel) != MessageAnswer::Ok)
        return;
    saveTextTo(path);
}

void TfrmMain::saveTextTo(const QString &path)
{
    QString text = editorText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    const QByteArray bytes = text.toUtf8();
    writeTextFile(path.toStdString(), std::string_view(bytes.constData(), size_t(bytes.size())));
}

} // namespace lintrel
