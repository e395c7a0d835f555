// The email panel of the main window (panEmail): the text, its six counts, Format, commands.
//
// Input flows one way: the user edits memEmail; the text's statistics follow each change of
// it line by line (only the lines it touches are counted again) and memEmailChange writes
// their six counts into the fields. Each command reads the widgets, calls one core function
// and writes the result back. Rooms kept for what grows here: options of Format sit in the format
// row (buildFormatRow), further commands in the command row (buildCommandRow) with their handlers
// beside bsSkinButton5Click, and the counting behind memEmailChange.
#pragma once

#include <QString>
#include <QWidget>

class QHBoxLayout;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lintrel {

class EmailCommands;
struct EmailEditor;
class DocumentStatistics;
class FormatOptionsButton;
class TfrmMain;
struct TextStats;
struct FileDialogChoice;
struct FileDialogRequest;

class EmailPanel : public QWidget
{
    Q_OBJECT
public:
    // window: the owner of the panel's message boxes and dialogs and of the services they use.
    EmailPanel(TfrmMain &window, QWidget *parent = nullptr);

    // The text with line feeds between lines.
    QString editorText() const;

    // Gives the keyboard focus to the text.
    void focusText();

    // Ctrl+O and Ctrl+S work anywhere inside scope.
    void addFileShortcuts(QWidget *scope);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Where a file dialog opens next, per dialog.
    struct DialogMemory
    {
        QString directory; // empty: the executable's directory
        QString fileName;
        int filterIndex = 0;
    };

    void buildWidgets();
    QLayout *buildStatisticsRow(QWidget *bottom);
    QLayout *buildFormatRow(QWidget *bottom);
    QHBoxLayout *buildCommandRow(QWidget *bottom);
    void connectHandlers();
    bool dropFilter(QEvent *event);

    void replaceEditorText(const QString &text);
    void keepNextTypingApart();
    void memEmailChange();
    void UpdateTextStatistics(const TextStats &stats);
    void edtMaxLineChange();
    void bsSkinButton5Click();
    void btnSelectClick();
    void btnClearClick();
    void btnImportClick();
    void btnCopyClick();
    void btnSaveClick();
    void importFile(const QString &path);
    bool chooseSavePath(QString &path);
    void saveTextTo(const QString &path, QString text);
    QWidget *buildEmailCommands(QWidget *parent);
    EmailEditor emailEditor();
    FileDialogRequest dialogRequest(const QString &title, const DialogMemory &memory) const;
    static void remember(DialogMemory &memory, const FileDialogChoice &choice, const QString &path);

    TfrmMain &window_;
    int maxLineLength_ = 60;
    DialogMemory openMemory_;
    DialogMemory saveMemory_;

    QPlainTextEdit *memEmail = nullptr;
    DocumentStatistics *statistics_ = nullptr; // the counts of memEmail, kept line by line
    QLineEdit *edtChars = nullptr;
    QLineEdit *edtWords1 = nullptr;
    QLineEdit *edtSenten1 = nullptr;
    QLineEdit *edtLines = nullptr;
    QLineEdit *edtParag1 = nullptr;
    QLineEdit *edtLong = nullptr;
    QLineEdit *edtMaxLine = nullptr;
    QPushButton *bsSkinButton5 = nullptr;
    EmailCommands *email_ = nullptr; // Email-aware Format, Reflow, format=flowed
    FormatOptionsButton *btnFormatOptions = nullptr;
    QPushButton *btnSelect = nullptr;
    QPushButton *btnClear = nullptr;
    QPushButton *btnImport = nullptr;
    QPushButton *btnCopy = nullptr;
    QPushButton *btnSave = nullptr;
};

} // namespace lintrel
