// The six fields against a full recount while random edits run on the real window.
#include "formatter/text_stats.h"
// GCC 12 takes the copy of an engaged std::optional<FileDialogChoice> in the fake dialogs,
// inlined here, for a read of uninitialised memory.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include "support/window_harness.h"
#pragma GCC diagnostic pop

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include <random>

using namespace lintrel;
using namespace lintrel::testing;

namespace {

// Pieces of random text: letters, separators, break characters, and for the non-ASCII runs
// accented letters, a no-break space, a character outside the BMP and a Windows-1252 byte
// (only in imported files, where it is decoded).
struct Alphabet
{
    std::vector<QString> pieces;
    static Alphabet make(bool unicode)
    {
        Alphabet a;
        for (const char *p : {"a", "b", "word", "Z9", " ", " ", ".", ",", ";", ":", "!", "?", "\t",
                              "-", "\n", "\n"})
            a.pieces.push_back(QString::fromLatin1(p));
        if (unicode) {
            for (const char *p : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xC2\xA0"})
                a.pieces.push_back(QString::fromUtf8(p));
        }
        return a;
    }
};

class EditorStatistics : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.open();
        mem = h.child<QPlainTextEdit>("memEmail");
    }

    QString randomText(size_t pieces, bool lineBreaks = true)
    {
        QString text;
        while (pieces-- > 0) {
            const QString &p = alphabet.pieces[rng() % alphabet.pieces.size()];
            text += (!lineBreaks && p == "\n") ? QStringLiteral("x") : p;
        }
        return text;
    }
    int randomPosition() { return int(rng() % uint64_t(mem->document()->characterCount())); }
    void click(const char *button)
    {
        QTest::mouseClick(h.child<QPushButton>(button), Qt::LeftButton);
    }

    void type()
    {
        moveCursor(randomPosition());
        for (const QChar c : randomText(1 + rng() % 6, false)) {
            if (c.isHighSurrogate() || c.isLowSurrogate() || c.unicode() >= 0x80)
                QTest::sendKeyEvent(QTest::Click, mem, Qt::Key_unknown, QString(c), Qt::NoModifier);
            else
                QTest::keyClick(mem, c.toLatin1());
        }
        if (rng() % 3 == 0)
            QTest::keyClick(mem, Qt::Key_Return);
    }
    void deleteRange()
    {
        moveCursor(randomPosition());
        QTextCursor c = mem->textCursor();
        c.setPosition(randomPosition(), QTextCursor::KeepAnchor);
        mem->setTextCursor(c);
        QTest::keyClick(mem, rng() % 2 ? Qt::Key_Delete : Qt::Key_Backspace);
    }
    void paste()
    {
        QGuiApplication::clipboard()->setText(randomText(rng() % 60));
        moveCursor(randomPosition());
        QTest::keyClick(mem, Qt::Key_V, Qt::ControlModifier);
    }
    void format()
    {
        auto *maxLine = h.child<QLineEdit>("edtMaxLine");
        maxLine->setText(QString::number(1 + rng() % 12));
        click("bsSkinButton5");
    }
    void import()
    {
        QByteArray bytes = randomText(rng() % 200).toUtf8();
        const char *breaks[] = {"\n", "\r\n", "\r"};
        bytes.replace("\n", breaks[rng() % 3]);
        if (rng() % 4 == 0)
            bytes += "\xE9"; // not UTF-8: read as Windows-1252
        h.writeFile("in.txt", bytes);
        h.dialogs.openChoices.push_back(FileDialogChoice{h.path("in.txt"), 0});
        click("btnImport");
    }
    void moveCursor(int position)
    {
        QTextCursor c = mem->textCursor();
        c.setPosition(position);
        mem->setTextCursor(c);
    }

    // The six fields against counting the text the text area holds now.
    void expectFieldsMatchRecount(const std::string &step)
    {
        QString text = mem->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        const TextStats s = computeTextStats(std::u16string_view(
            reinterpret_cast<const char16_t *>(text.utf16()), size_t(text.size())));
        const std::pair<const char *, int64_t> fields[] = {
            {"edtWords1", s.words}, {"edtSenten1", s.sentences}, {"edtParag1", s.paragraphs},
            {"edtLines", s.lines},  {"edtChars", s.characters},  {"edtLong", s.longestLine}};
        for (const auto &[name, value] : fields)
            ASSERT_EQ(h.child<QLineEdit>(name)->text().toLongLong(), value) << step << ": " << name;
    }

    void runEdits(uint64_t seed, bool unicode, int steps)
    {
        rng.seed(seed);
        alphabet = Alphabet::make(unicode);
        const std::pair<const char *, void (EditorStatistics::*)()> edits[] = {
            {"type", &EditorStatistics::type},          {"type", &EditorStatistics::type},
            {"delete", &EditorStatistics::deleteRange}, {"paste", &EditorStatistics::paste},
            {"undo", &EditorStatistics::undo},          {"redo", &EditorStatistics::redo},
            {"format", &EditorStatistics::format},      {"import", &EditorStatistics::import},
            {"clear", &EditorStatistics::clear}};
        for (int step = 0; step < steps; ++step) {
            const auto &[name, edit] = edits[rng() % std::size(edits)];
            (this->*edit)();
            expectFieldsMatchRecount("step " + std::to_string(step) + " (" + name + ")");
            if (HasFatalFailure())
                return;
        }
    }
    void undo() { QTest::keyClick(mem, Qt::Key_Z, Qt::ControlModifier); }
    void redo() { QTest::keyClick(mem, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }
    void clear() { click("btnClear"); }

    WindowHarness h;
    QPlainTextEdit *mem = nullptr;
    ErrorRecorder recorder;
    std::mt19937_64 rng;
    Alphabet alphabet;
};

} // namespace

TEST_F(EditorStatistics, RandomEditsKeepTheFieldsEqualToARecount)
{
    for (const bool unicode : {false, true}) {
        for (const uint64_t seed : {1u, 2u, 3u}) {
            SCOPED_TRACE(::testing::Message()
                         << "seed " << seed << (unicode ? " unicode" : " ascii"));
            mem->clear();
            runEdits(seed, unicode, 150);
            if (HasFatalFailure())
                return;
        }
    }
    EXPECT_TRUE(recorder.errors.isEmpty());
}

// Format cuts the long lines where they are: the other lines stay the same blocks (a mark
// set on them survives), the view does not move, and one undo step brings the text back.
TEST_F(EditorStatistics, FormatCutsOnlyTheLongLinesAndKeepsTheView)
{
    QString text;
    for (int i = 0; i < 400; ++i)
        text += i % 3 == 0 ? QStringLiteral("a line that is a good deal longer than twenty\n")
                           : QStringLiteral("short line\n");
    mem->setPlainText(text);
    h.child<QLineEdit>("edtMaxLine")->setText("20");
    for (QTextBlock b = mem->document()->begin(); b.isValid(); b = b.next())
        b.setUserState(b.length() - 1 <= 20 ? 7 : -1);
    mem->verticalScrollBar()->setValue(mem->verticalScrollBar()->maximum() / 2);
    const int scroll = mem->verticalScrollBar()->value();
    ASSERT_GT(scroll, 0);

    click("bsSkinButton5");
    int marked = 0;
    for (QTextBlock b = mem->document()->begin(); b.isValid(); b = b.next())
        marked += b.userState() == 7 ? 1 : 0;
    EXPECT_EQ(marked, 267); // every short line kept its block (and the final empty one)
    EXPECT_EQ(mem->verticalScrollBar()->value(), scroll);
    expectFieldsMatchRecount("format");

    QTest::keyClick(mem, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(mem->toPlainText(), text);
    expectFieldsMatchRecount("undo");
}
