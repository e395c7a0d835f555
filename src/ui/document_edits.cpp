// Whole-text edits of a plain-text area: line wrapping in place and replacing the text.
#include "ui/document_edits.h"

#include "formatter/line_wrap.h"
#include "ui/document_stats.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <vector>

namespace lintrel {

namespace {

std::u16string_view utf16View(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<size_t>(text.size())};
}

// Puts both scroll bars back where they were when it was made.
class ScrollKeeper
{
public:
    explicit ScrollKeeper(QPlainTextEdit &edit)
        : edit_(edit), vertical_(edit.verticalScrollBar()->value()),
          horizontal_(edit.horizontalScrollBar()->value())
    {}
    ~ScrollKeeper()
    {
        edit_.verticalScrollBar()->setValue(vertical_);
        edit_.horizontalScrollBar()->setValue(horizontal_);
    }
    ScrollKeeper(const ScrollKeeper &) = delete;
    ScrollKeeper &operator=(const ScrollKeeper &) = delete;

private:
    QPlainTextEdit &edit_;
    int vertical_, horizontal_;
};

// Where the wrapper cuts a line, as offsets into it, and the counts of the pieces. The
// wrapper only inserts line breaks, so each break in its output stands for a cut there.
struct LineCuts
{
    std::vector<int> offsets;
    std::vector<LineCounts> pieces;
    std::u16string wrapped;
    bool breaksOnly = true; // the pieces put together give the line back
};

LineCuts wrapCuts(const QString &line, int64_t maxLength, Measure measure, Measure counted)
{
    LineCuts cuts;
    cuts.wrapped = wrapText(utf16View(line), maxLength, u"\n", measure);
    const std::u16string_view wrapped = cuts.wrapped, original = utf16View(line);
    size_t start = 0;
    for (size_t i = 0; i <= wrapped.size(); ++i) {
        if (i < wrapped.size() && wrapped[i] != u'\n')
            continue;
        const std::u16string_view piece = wrapped.substr(start, i - start);
        const size_t at = start - cuts.offsets.size();
        cuts.breaksOnly = cuts.breaksOnly && original.substr(at, piece.size()) == piece;
        if (i < wrapped.size())
            cuts.offsets.push_back(int(i - cuts.offsets.size()));
        cuts.pieces.push_back(countLine(piece, counted));
        start = i + 1;
    }
    cuts.breaksOnly = cuts.breaksOnly && wrapped.size() == original.size() + cuts.offsets.size();
    return cuts;
}

// Cuts the line in `block` as `cuts` says: block breaks inserted from the last cut back, so
// the earlier offsets stay where they were; should the wrapper have changed more than line
// breaks, the line's text is replaced by its wrapped text instead.
void applyCuts(QTextCursor &cursor, const QTextBlock &block, const LineCuts &cuts)
{
    if (!cuts.breaksOnly) {
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.insertText(QString::fromStdU16String(cuts.wrapped));
        return;
    }
    for (auto cut = cuts.offsets.rbegin(); cut != cuts.offsets.rend(); ++cut) {
        cursor.setPosition(block.position() + *cut);
        cursor.insertBlock();
    }
}

} // namespace

bool wrapDocumentLines(QPlainTextEdit &edit, int64_t maxLength, Measure measure,
                       DocumentStatistics &stats)
{
    const ScrollKeeper keep(edit);
    const DocumentStatistics::Batch batch(stats);
    QTextDocument *document = edit.document();
    QTextCursor cursor(document);
    std::vector<LineReplacement> cutLines;
    size_t line = 0; // the number of `block` before the edit
    for (QTextBlock block = document->begin(); block.isValid(); ++line) {
        // Splitting a block keeps its head in `block` and leaves the next block as it was.
        const QTextBlock next = block.next();
        // A UTF-16 unit adds at most one character or two screen columns, so a line of few
        // enough units cannot be too long.
        const int64_t units = block.length() - 1;
        if ((measure == Measure::Columns ? 2 * units : units) > maxLength) {
            LineCuts cuts = wrapCuts(block.text(), maxLength, measure, stats.measure());
            if (!cuts.offsets.empty() || !cuts.breaksOnly) {
                if (cutLines.empty())
                    cursor.beginEditBlock();
                applyCuts(cursor, block, cuts);
                cutLines.push_back({line, 1, std::move(cuts.pieces)});
            }
        }
        block = next;
    }
    if (cutLines.empty())
        return false;
    stats.replaceLines(cutLines);
    cursor.endEditBlock();
    return true;
}

void replaceDocumentText(QPlainTextEdit &edit, const QString &text, DocumentStatistics &stats)
{
    const ScrollKeeper keep(edit);
    QTextCursor cursor(edit.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    // The text area also breaks lines at CR, U+2029 and its frame marks; a text with any of
    // them is left to the change notification.
    const bool lineFeedsOnly = std::ranges::none_of(utf16View(text), [](char16_t u) {
        return u == u'\r' || u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1;
    });
    if (!lineFeedsOnly) {
        cursor.insertText(text);
        cursor.endEditBlock();
        return;
    }
    const DocumentStatistics::Batch batch(stats);
    cursor.insertText(text);
    LineReplacement all{0, stats.lineCount(), {}};
    appendLineCounts(all.added, utf16View(text), u'\n', stats.measure());
    stats.replaceLines({&all, 1});
    cursor.endEditBlock();
}

} // namespace lintrel
