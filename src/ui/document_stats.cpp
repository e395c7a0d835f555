// Incremental statistics of a text document: the changed blocks recounted into the line index.
#include "ui/document_stats.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtGlobal>
#include <span>

namespace lintrel {

namespace {

std::u16string_view utf16View(const QString &text)
{
    return {reinterpret_cast<const char16_t *>(text.utf16()), static_cast<size_t>(text.size())};
}

} // namespace

DocumentStatistics::DocumentStatistics(QTextDocument *document, Measure measure, QObject *parent)
    : QObject(parent), document_(document), measure_(measure),
      checking_(qEnvironmentVariableIntValue("LINTREL_CHECK_STATISTICS") != 0)
{
    recountAll();
    connect(document_, &QTextDocument::contentsChange, this, &DocumentStatistics::contentsChange);
}

// The document reports one range per edit (an edit block's changes merged): the blocks that
// now hold [position, position + added] replace as many old blocks as the block count says.
void DocumentStatistics::contentsChange(int position, int /*removed*/, int added)
{
    const int blocks = document_->blockCount();
    if (inBatch_) {
        // The edit has told its changes already.
        if (index_.size() != size_t(blocks))
            recountAll(); // not expected
        if (checking_)
            checkAgainstRecount();
        return;
    }
    const int end = std::min(position + added, document_->characterCount() - 1);
    const int first = document_->findBlock(position).blockNumber();
    const int last = document_->findBlock(end).blockNumber();
    const int removedBlocks = (last - first + 1) - (blocks - int(index_.size()));
    if (first < 0 || last < first || removedBlocks < 1 ||
        size_t(first) + size_t(removedBlocks) > index_.size()) {
        recountAll(); // not expected
    } else {
        index_.replace(size_t(first), size_t(removedBlocks), countBlocks(first, last));
    }
    if (checking_)
        checkAgainstRecount();
}

void DocumentStatistics::recountAll()
{
    index_.replace(0, index_.size(), countBlocks(0, document_->blockCount() - 1));
}

void DocumentStatistics::setMeasure(Measure measure)
{
    if (measure == measure_)
        return;
    measure_ = measure;
    recountAll();
    if (checking_)
        checkAgainstRecount();
}

DocumentStatistics::Batch::Batch(DocumentStatistics &stats) : stats_(stats)
{
    stats_.inBatch_ = true;
}

DocumentStatistics::Batch::~Batch()
{
    stats_.inBatch_ = false;
}

void DocumentStatistics::replaceLines(std::span<const LineReplacement> replacements)
{
    index_.replace(replacements);
}

// One block is read as it is; a short range through a selection, a long one (a good part of
// the text) from the document's whole text, which is copied in one go.
std::vector<LineCounts> DocumentStatistics::countBlocks(int first, int last) const
{
    std::vector<LineCounts> counts;
    const QTextBlock from = document_->findBlockByNumber(first);
    if (first == last) {
        counts.push_back(countLine(utf16View(from.text()), measure_));
        return counts;
    }
    const QTextBlock to = document_->findBlockByNumber(last);
    const int start = from.position(), end = to.position() + to.length() - 1;
    counts.reserve(size_t(last - first + 1));
    if (last - first > document_->blockCount() / 8) {
        const QString all = document_->toRawText();
        appendLineCounts(counts, utf16View(all).substr(size_t(start), size_t(end - start)),
                         QChar::ParagraphSeparator, measure_);
        return counts;
    }
    QTextCursor range(document_);
    range.setPosition(start);
    range.setPosition(end, QTextCursor::KeepAnchor);
    appendLineCounts(counts, utf16View(range.selectedText()), QChar::ParagraphSeparator, measure_);
    return counts;
}

TextStats DocumentStatistics::recount() const
{
    QString text = document_->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return computeTextStats(utf16View(text), measure_);
}

void DocumentStatistics::checkAgainstRecount() const
{
    const TextStats kept = index_.stats(), fresh = recount();
    if (kept == fresh)
        return;
    qFatal("statistics out of step: kept %lld %lld %lld %lld %lld %lld, recounted %lld %lld "
           "%lld %lld %lld %lld",
           (long long)kept.words, (long long)kept.sentences, (long long)kept.paragraphs,
           (long long)kept.lines, (long long)kept.characters, (long long)kept.longestLine,
           (long long)fresh.words, (long long)fresh.sentences, (long long)fresh.paragraphs,
           (long long)fresh.lines, (long long)fresh.characters, (long long)fresh.longestLine);
}

} // namespace lintrel
