// The email panel's behaviour: live statistics, Format and the hooks of the email commands,
// Select All, Clear, Copy, key and drop rules.
#include "shell/email_panel.h"

#include "formatter/text_stats.h"
#include "shell/email_commands.h"
#include "shell/frm_main.h"
#include "ui/bell.h"
#include "ui/clipboard.h"
#include "ui/document_edits.h"
#include "ui/document_stats.h"
#include "ui/error_handler.h"
#include "ui/format_options.h"
#include "ui/message_boxes.h"
#include "util/fields.h"

#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>

namespace lintrel {

namespace {

// Keys the maximum-line-length field takes: digits, a minus sign as the first character, and
// control keys other than Enter.
bool maxLineKeyAccepted(const QKeyEvent &key, const QLineEdit &field)
{
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        return false;
    const QString typed = key.text();
    if (typed.isEmpty() || typed.at(0).unicode() < 0x20 || typed.at(0).unicode() == 0x7f ||
        (key.modifiers() & Qt::ControlModifier))
        return true; // navigation, editing and shortcut keys
    if (typed.size() != 1)
        return false;
    const qsizetype from =
        field.hasSelectedText() ? field.selectionStart() : field.cursorPosition();
    const qsizetype to = field.hasSelectedText() ? from + field.selectedText().size() : from;
    const QByteArray text = field.text().toLatin1();
    return wholeNumberKeyAccepted(std::string_view(text.constData(), size_t(text.size())),
                                  size_t(from), size_t(to), typed.at(0).unicode());
}

// Shift+Enter would insert a line separator inside the line.
bool isShiftEnter(const QKeyEvent &key)
{
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & Qt::ShiftModifier);
}

} // namespace

EmailPanel::EmailPanel(TfrmMain &window, QWidget *parent) : QWidget(parent), window_(window)
{
    buildWidgets();
    statistics_ = new DocumentStatistics(memEmail->document(), btnFormatOptions->measure(), this);
    connectHandlers();
}

void EmailPanel::connectHandlers()
{
    edtMaxLine->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("-?[0-9]*")), edtMaxLine));
    edtMaxLine->installEventFilter(this);
    memEmail->installEventFilter(this);
    memEmail->viewport()->installEventFilter(this);
    memEmail->setAcceptDrops(true);

    connect(memEmail, &QPlainTextEdit::textChanged, this, &EmailPanel::memEmailChange);
    connect(edtMaxLine, &QLineEdit::textChanged, this, &EmailPanel::edtMaxLineChange);
    connect(btnFormatOptions, &FormatOptionsButton::optionsChanged, this, [this] {
        statistics_->setMeasure(btnFormatOptions->measure());
        memEmailChange();
    });
    connect(bsSkinButton5, &QPushButton::clicked, this,
            [this] { runGuarded([this] { bsSkinButton5Click(); }); });
    connect(btnSelect, &QPushButton::clicked, this, &EmailPanel::btnSelectClick);
    connect(btnClear, &QPushButton::clicked, this, &EmailPanel::btnClearClick);
    connect(btnImport, &QPushButton::clicked, this,
            [this] { runGuarded([this] { btnImportClick(); }); });
    connect(btnCopy, &QPushButton::clicked, this, &EmailPanel::btnCopyClick);
    connect(btnSave, &QPushButton::clicked, this,
            [this] { runGuarded([this] { btnSaveClick(); }); });
    // Each command hands the keyboard back to the text once it is done (connected after the
    // handlers, so it runs last), also when the button was pressed from the keyboard.
    for (auto *button : {bsSkinButton5, btnSelect, btnClear, btnImport, btnCopy, btnSave})
        connect(button, &QPushButton::clicked, this, &EmailPanel::focusText);
}

void EmailPanel::addFileShortcuts(QWidget *scope)
{
    const std::pair<QKeySequence::StandardKey, QPushButton *> keys[] = {
        {QKeySequence::Open, btnImport}, {QKeySequence::Save, btnSave}};
    for (const auto &[key, button] : keys) {
        auto *shortcut = new QShortcut(key, scope);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
    }
}

void EmailPanel::focusText()
{
    memEmail->setFocus();
}

bool EmailPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edtMaxLine && event->type() == QEvent::KeyPress) {
        if (maxLineKeyAccepted(*static_cast<QKeyEvent *>(event), *edtMaxLine))
            return false;
        beep();
        return true;
    }
    if (watched == memEmail && event->type() == QEvent::KeyPress) {
        if (!isShiftEnter(*static_cast<QKeyEvent *>(event)))
            return false;
        memEmail->textCursor().insertBlock(); // a real line break instead
        return true;
    }
    if (watched == memEmail->viewport())
        return dropFilter(event);
    return QWidget::eventFilter(watched, event);
}

bool EmailPanel::dropFilter(QEvent *event)
{
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto *drag = static_cast<QDropEvent *>(event);
        if (!drag->mimeData()->hasUrls())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    if (event->type() != QEvent::Drop)
        return false;
    auto *drop = static_cast<QDropEvent *>(event);
    const auto urls = drop->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return false;
    drop->acceptProposedAction();
    const QString path = urls.first().toLocalFile();
    runGuarded([&] { importFile(path); });
    return true;
}

QString EmailPanel::editorText() const
{
    // Blocks are separated by U+2029 in the raw text; the core expects line feeds.
    QString text = memEmail->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void EmailPanel::replaceEditorText(const QString &text)
{
    // One edit: one change notification and one undo step; the view stays where it was.
    replaceDocumentText(*memEmail, text, *statistics_);
    keepNextTypingApart();
}

void EmailPanel::keepNextTypingApart()
{
    // Qt folds typing that follows an inserted text into that insert's undo step, but only in
    // a modified document: clearing the flag keeps the edit just made a step of its own.
    memEmail->document()->setModified(false);
}

void EmailPanel::memEmailChange()
{
    // statistics_ follows every change of the text line by line, so its counts are those of
    // the whole text without reading it again.
    UpdateTextStatistics(statistics_->stats());
}

void EmailPanel::UpdateTextStatistics(const TextStats &stats)
{
    edtWords1->setText(QString::number(stats.words));
    edtSenten1->setText(QString::number(stats.sentences));
    edtParag1->setText(QString::number(stats.paragraphs));
    edtLines->setText(QString::number(stats.lines));
    edtChars->setText(QString::number(stats.characters));
    edtLong->setText(QString::number(stats.longestLine));
}

void EmailPanel::edtMaxLineChange()
{
    // While the text is not a whole number the last valid value stays in force.
    const QByteArray text = edtMaxLine->text().toLatin1();
    if (const auto value = parseInt32(std::string_view(text.constData(), size_t(text.size()))))
        maxLineLength_ = *value;
}

void EmailPanel::bsSkinButton5Click()
{
    if (maxLineLength_ < 1) {
        window_.msgMain().show(&window_,
                               QStringLiteral("The maximum line length must be at least 1. "
                                              "The text was not changed."),
                               MessageKind::Warning, MessageButtons::Ok);
        return;
    }
    if (btnFormatOptions->emailAware()) {
        const QString text = editorText();
        const QString wrapped = email_->format(text, maxLineLength_);
        if (wrapped != text)
            replaceEditorText(wrapped);
        return;
    }
    // Only the lines too long are cut, in place: one edit, one undo step. The flowed commands
    // are told what Format made, so that a flowed copy marks its breaks as soft.
    const QString before = editorText();
    if (wrapDocumentLines(*memEmail, maxLineLength_, btnFormatOptions->measure(), *statistics_)) {
        keepNextTypingApart();
        email_->noteFormat(before, editorText(), maxLineLength_);
    }
}

// Reflow beside the Format options, whose menu also takes the two format=flowed commands.
QWidget *EmailPanel::buildEmailCommands(QWidget *parent)
{
    email_ = new EmailCommands(emailEditor(), parent);
    QMenu *menu = btnFormatOptions->menu();
    menu->addSeparator();
    menu->addActions({email_->copyFlowed(), email_->saveFlowed()});
    QPushButton *reflow = email_->btnReflow();
    reflow->setFocusPolicy(Qt::TabFocus); // like the other commands: the keyboard stays in the text
    connect(reflow, &QPushButton::clicked, this, &EmailPanel::focusText);
    return reflow;
}

EmailEditor EmailPanel::emailEditor()
{
    EmailEditor editor;
    editor.text = [this] { return editorText(); };
    editor.replace = [this](const QString &text) { replaceEditorText(text); };
    editor.maxLength = [this] {
        if (maxLineLength_ >= 1)
            return maxLineLength_;
        window_.msgMain().show(&window_,
                               QStringLiteral("The maximum line length must be at least 1. "
                                              "The text was not changed."),
                               MessageKind::Warning, MessageButtons::Ok);
        return 0;
    };
    editor.saveAs = [this](const QString &text) {
        if (QString path; chooseSavePath(path))
            saveTextTo(path, text);
    };
    editor.emailAware = [this] { return btnFormatOptions->emailAware(); };
    editor.measure = [this] { return btnFormatOptions->measure(); };
    editor.clipboard = &window_.clipboard();
    return editor;
}

void EmailPanel::btnSelectClick()
{
    memEmail->selectAll();
}

void EmailPanel::btnClearClick()
{
    // Undoable, and the statistics follow (all six fields show 0).
    replaceEditorText(QString());
}

void EmailPanel::btnCopyClick()
{
    QString text = editorText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    window_.clipboard().setText(text);
}

} // namespace lintrel
