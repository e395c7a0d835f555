// Edits of a whole plain-text area made as one undo step that keep the view where it was.
#pragma once

#include "formatter/unicode_text.h"

#include <QString>
#include <cstdint>

class QPlainTextEdit;

namespace lintrel {

class DocumentStatistics;

// Wraps every line of the text area (see wrapText) by cutting only the lines that are too
// long in `measure`, in one edit: one change notification and one undo step. `stats`, which
// follows the text area, is told the new lines directly. Returns false when no line changed.
// maxLength must be >= 1.
bool wrapDocumentLines(QPlainTextEdit &edit, int64_t maxLength, Measure measure,
                       DocumentStatistics &stats);

// Replaces the whole text in one edit (one change notification, one undo step); `stats`,
// which follows the text area, counts the new lines from `text` itself.
void replaceDocumentText(QPlainTextEdit &edit, const QString &text, DocumentStatistics &stats);

} // namespace lintrel
