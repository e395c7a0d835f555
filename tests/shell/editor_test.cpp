// The email editor in the real window: Format, the maximum-line-length field, the commands.
#include "support/window_harness.h"
#include "ui/error_handler.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QUrl>
#include <csignal>
#include <sys/resource.h>

using namespace lintrel;
using namespace lintrel::testing;

namespace {

class Editor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.open();
        mem = h.child<QPlainTextEdit>("memEmail");
        maxLine = h.child<QLineEdit>("edtMaxLine");
    }

    void click(const char *button)
    {
        QTest::mouseClick(h.child<QPushButton>(button), Qt::LeftButton);
    }
    QString field(const char *name) { return h.child<QLineEdit>(name)->text(); }
    void setMaxLine(const QString &text)
    {
        maxLine->selectAll();
        QTest::keyClick(maxLine, Qt::Key_Backspace);
        QTest::keyClicks(maxLine, text);
    }
    QByteArray readFile(const QString &name)
    {
        QFile f(h.path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    WindowHarness h;
    QPlainTextEdit *mem = nullptr;
    QLineEdit *maxLine = nullptr;
    ErrorRecorder recorder;
    QStringList &errors = recorder.errors;
};

} // namespace

TEST_F(Editor, FormatIsOneEditWithOneUndoStep)
{
    mem->setPlainText("The quick brown fox jumps\nok");
    setMaxLine("10");
    QSignalSpy changes(mem, &QPlainTextEdit::textChanged);
    click("bsSkinButton5");
    EXPECT_EQ(mem->toPlainText(), "The quick \nbrown fox \njumps\nok");
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(field("edtLines"), "4");
    EXPECT_EQ(field("edtLong"), "10");

    // A second Format changes nothing.
    click("bsSkinButton5");
    EXPECT_EQ(changes.count(), 1);

    QTest::keyClick(mem, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(mem->toPlainText(), "The quick brown fox jumps\nok");
    EXPECT_EQ(field("edtLines"), "2");
}

TEST_F(Editor, FormatRefusesALengthBelowOne)
{
    mem->setPlainText("hello world");
    for (const char *m : {"0", "-5"}) {
        setMaxLine(m);
        click("bsSkinButton5");
        EXPECT_EQ(mem->toPlainText(), "hello world");
    }
    ASSERT_EQ(h.messages.shown.size(), 2u);
    EXPECT_EQ(h.messages.shown[0].kind, MessageKind::Warning);
    EXPECT_TRUE(h.messages.shown[0].text.contains("at least 1"));
}

TEST_F(Editor, MaxLineFieldTakesDigitsAndOneMinus)
{
    setMaxLine("");
    QTest::keyClicks(maxLine, "-1a2-.3");
    EXPECT_EQ(maxLine->text(), "-123");
    QTest::keyClick(maxLine, Qt::Key_Return);
    EXPECT_EQ(maxLine->text(), "-123");

    // While the text is not a whole number the last valid value stays in force.
    setMaxLine("5");
    setMaxLine("-");
    mem->setPlainText("hello world");
    click("bsSkinButton5");
    EXPECT_EQ(mem->toPlainText(), "hello \nworld");
}

TEST_F(Editor, ClearEmptiesTheTextAndTheFieldsAndCanBeUndone)
{
    QTest::keyClicks(mem, "one two three four five six seven eight nine ten eleven twelve");
    EXPECT_EQ(field("edtWords1"), "12");
    click("btnClear");
    EXPECT_TRUE(mem->toPlainText().isEmpty());
    for (const char *f :
         {"edtWords1", "edtSenten1", "edtParag1", "edtLines", "edtChars", "edtLong"})
        EXPECT_EQ(field(f), "0") << f;
    QTest::keyClick(mem, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field("edtWords1"), "12");
}

TEST_F(Editor, SelectAllAndCopy)
{
    mem->setPlainText("a\nb");
    mem->setFocus();
    click("btnSelect");
    EXPECT_EQ(mem->textCursor().selectedText(), QString("a") + QChar::ParagraphSeparator + "b");
    EXPECT_TRUE(mem->hasFocus());

    QTextCursor c = mem->textCursor();
    c.setPosition(0);
    mem->setTextCursor(c);
    click("btnCopy");
    EXPECT_EQ(h.clipboard.text, "a\r\nb"); // the whole text, not the selection

    mem->clear();
    click("btnCopy");
    EXPECT_EQ(h.clipboard.calls, 2);
    EXPECT_TRUE(h.clipboard.text.isEmpty());
}

TEST_F(Editor, ImportReadsAndNormalisesFiles)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        QString expected;
    } rows[] = {
        {"lf.txt", "one\ntwo\n", "one\ntwo\n"},
        {"cr.txt", "one\rtwo", "one\ntwo"},
        {"mixed.txt", "a\r\nb\rc\nd", "a\nb\nc\nd"},
        {"utf8.txt",
         "\xEF\xBB\xBF"
         "caf\xC3\xA9",
         QString::fromUtf8("caf\xC3\xA9")},
        {"cp1252.txt", "caf\xE9 \x80", QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC")},
    };
    for (const auto &r : rows) {
        h.writeFile(r.name, r.bytes);
        h.dialogs.openChoices.push_back(FileDialogChoice{h.path(r.name), 1});
        click("btnImport");
        EXPECT_EQ(mem->toPlainText(), r.expected) << r.name;
    }
    EXPECT_EQ(field("edtWords1"), "2");
    EXPECT_EQ(field("edtChars"), "6");

    // The same content again: nothing changes, no change notification.
    QSignalSpy changes(mem, &QPlainTextEdit::textChanged);
    h.dialogs.openChoices.push_back(FileDialogChoice{h.path("cp1252.txt"), 1});
    click("btnImport");
    EXPECT_EQ(changes.count(), 0);

    // An empty file empties the text and the fields, unlike Clear.
    h.writeFile("empty.txt", "");
    h.dialogs.openChoices.push_back(FileDialogChoice{h.path("empty.txt"), 0});
    click("btnImport");
    EXPECT_TRUE(mem->toPlainText().isEmpty());
    EXPECT_EQ(field("edtChars"), "0");
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(Editor, ImportFailuresKeepTheText)
{
    mem->setPlainText("keep me");
    // Cancel, and a file gone between the dialog and the load: silently nothing.
    h.dialogs.openChoices.push_back(std::nullopt);
    h.dialogs.openChoices.push_back(FileDialogChoice{h.path("gone.txt"), 0});
    click("btnImport");
    click("btnImport");
    EXPECT_TRUE(errors.isEmpty());

    h.writeFile("huge.txt", QByteArray(16 * 1024 * 1024 + 1, 'x'));
    h.dialogs.openChoices.push_back(FileDialogChoice{h.path("huge.txt"), 0});
    click("btnImport");
    // A directory cannot be read as a file.
    QDir(h.dir.path()).mkdir("folder.txt");
    h.dialogs.openChoices.push_back(FileDialogChoice{h.path("folder.txt"), 0});
    click("btnImport");

    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(errors[0], "Text exceeds memo capacity");
    EXPECT_TRUE(errors[1].startsWith("Cannot open file \"" + h.path("folder.txt") + "\". "))
        << errors[1].toStdString();
    EXPECT_EQ(mem->toPlainText(), "keep me");
}

TEST_F(Editor, DialogsRememberFolderNameAndFilterSeparately)
{
    h.dialogs.openChoices.push_back(std::nullopt);
    click("btnImport");
    ASSERT_EQ(h.dialogs.openRequests.size(), 1u);
    const FileDialogRequest &first = h.dialogs.openRequests[0];
    EXPECT_EQ(first.title, "Open file");
    EXPECT_EQ(first.filters, QStringList({"Text files (*.txt)", "All files (*)"}));
    EXPECT_EQ(first.filterIndex, 0);
    EXPECT_EQ(first.directory, h.dir.path() + "/");

    QDir(h.dir.path()).mkdir("sub");
    h.writeFile("sub/in.txt", "x");
    h.dialogs.openChoices.push_back(FileDialogChoice{h.path("sub/in.txt"), 1});
    h.dialogs.openChoices.push_back(std::nullopt);
    click("btnImport");
    click("btnImport");
    const FileDialogRequest &third = h.dialogs.openRequests[2];
    EXPECT_EQ(third.directory, h.path("sub"));
    EXPECT_EQ(third.fileName, "in.txt");
    EXPECT_EQ(third.filterIndex, 1);

    h.dialogs.saveChoices.push_back(std::nullopt);
    click("btnSave");
    ASSERT_EQ(h.dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(h.dialogs.saveRequests[0].title, "Save file");
    EXPECT_EQ(h.dialogs.saveRequests[0].directory, h.dir.path() + "/");
    EXPECT_EQ(h.dialogs.saveRequests[0].filterIndex, 0);
    EXPECT_FALSE(QFile::exists(h.path("sub/in.txt.txt")));
}

TEST_F(Editor, SaveWritesUtf8WithCrLfAndTheTxtRule)
{
    mem->setPlainText(QString::fromUtf8("caf\xC3\xA9\nend"));
    h.dialogs.saveChoices.push_back(FileDialogChoice{h.path("letter"), 0});
    h.dialogs.saveChoices.push_back(FileDialogChoice{h.path("plain"), 1});
    h.dialogs.saveChoices.push_back(FileDialogChoice{h.path("letter.doc"), 0});
    click("btnSave");
    click("btnSave");
    click("btnSave");
    EXPECT_EQ(readFile("letter.txt"), "caf\xC3\xA9\r\nend");
    EXPECT_EQ(readFile("plain"), "caf\xC3\xA9\r\nend");
    EXPECT_TRUE(QFile::exists(h.path("letter.doc.txt")));
    EXPECT_TRUE(h.messages.shown.empty());

    // Saved text imports back as it was.
    mem->clear();
    h.dialogs.openChoices.push_back(FileDialogChoice{h.path("letter.txt"), 0});
    click("btnImport");
    EXPECT_EQ(mem->toPlainText(), QString::fromUtf8("caf\xC3\xA9\nend"));
}

TEST_F(Editor, SaveAsksBeforeReplacingAFile)
{
    h.writeFile("old.txt", "old");
    mem->setPlainText("new");
    h.messages.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    h.dialogs.saveChoices.push_back(FileDialogChoice{h.path("old"), 0});
    h.dialogs.saveChoices.push_back(FileDialogChoice{h.path("old.txt"), 0});
    click("btnSave");
    EXPECT_EQ(readFile("old.txt"), "old");
    click("btnSave");
    EXPECT_EQ(readFile("old.txt"), "new");
    ASSERT_EQ(h.messages.shown.size(), 2u);
    EXPECT_EQ(h.messages.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(h.messages.shown[0].text.contains(h.path("old.txt")));
}

TEST_F(Editor, FailedSaveLeavesTheOldFileWhole)
{
    h.dialogs.saveChoices.push_back(FileDialogChoice{h.path("missing/dir/x.txt"), 0});
    click("btnSave");
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(
        errors[0].startsWith("Cannot create file \"" + h.path("missing/dir/x.txt") + "\". "));

    // A full disk: a file-size limit makes the write fail midway.
    const QByteArray old(3000, 'o');
    h.writeFile("target.txt", old);
    mem->setPlainText(QString(20000, QLatin1Char('n')));
    h.messages.answers = {MessageAnswer::Ok};
    h.dialogs.saveChoices.push_back(FileDialogChoice{h.path("target.txt"), 0});
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    click("btnSave");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    ASSERT_EQ(errors.size(), 2);
    EXPECT_EQ(errors[1], "Stream write error");
    EXPECT_EQ(readFile("target.txt"), old);
    EXPECT_EQ(QDir(h.dir.path()).entryList(QDir::Files), QStringList({"target.txt"}));
}

TEST_F(Editor, DroppingAFileImportsIt)
{
    h.writeFile("dropped.txt", "dropped text");
    auto *mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(h.path("dropped.txt"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(mem->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(mem->viewport(), &drop);
    EXPECT_EQ(mem->toPlainText(), "dropped text");
    EXPECT_EQ(field("edtWords1"), "2");
    delete mime;
}
