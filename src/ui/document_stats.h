// The six counts of a text document, kept up to date from its change notifications.
#pragma once

#include "formatter/line_index.h"

#include <QObject>

class QTextDocument;

namespace lintrel {

// Follows a plain-text document (one line per block): every change notification recounts
// only the blocks in the changed range, so typing costs the same at any text length. When
// checking is on (LINTREL_CHECK_STATISTICS=1 in the environment, as in the tests) every
// change is also compared with a count of the whole text, and a difference is fatal.
class DocumentStatistics : public QObject
{
    Q_OBJECT
public:
    // Lengths are taken in `measure` (see setMeasure).
    DocumentStatistics(QTextDocument *document, Measure measure, QObject *parent = nullptr);

    TextStats stats() const { return index_.stats(); }
    size_t lineCount() const { return index_.size(); } // as last counted
    // The counts of the whole text taken afresh.
    TextStats recount() const;

    Measure measure() const { return measure_; }
    // Lengths in another measure: every line is counted again, once.
    void setMeasure(Measure measure);

    // For an edit that knows what it changes: while a Batch lives, the edit reports its
    // changes through replaceLines before it ends (before the change notification), and the
    // notification recounts nothing. Should the line count then disagree with the document,
    // the whole text is counted again.
    class Batch
    {
    public:
        explicit Batch(DocumentStatistics &stats);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        DocumentStatistics &stats_;
    };
    // The lines (blocks) changed as described, in line numbers from before the edit.
    void replaceLines(std::span<const LineReplacement> replacements);

private:
    void contentsChange(int position, int removed, int added);
    std::vector<LineCounts> countBlocks(int first, int last) const;
    void recountAll();
    void checkAgainstRecount() const;

    QTextDocument *document_;
    LineIndex index_;
    Measure measure_;
    bool checking_ = false;
    bool inBatch_ = false;
};

} // namespace lintrel
