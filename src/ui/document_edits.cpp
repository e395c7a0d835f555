// Whole-text edits of a plain-text area: line wrapping in place and replacing the text.
#include "ui/document_edits.h"

#include "formatter/line_wrap.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

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

} // namespace

bool wrapDocumentLines(QPlainTextEdit &edit, int64_t maxLength)
{
    const ScrollKeeper keep(edit);
    QTextDocument *document = edit.document();
    QTextCursor cursor(document);
    bool changed = false;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        // A line of at most maxLength UTF-16 units has at most maxLength characters.
        if (block.length() - 1 <= maxLength)
            continue;
        const QString line = block.text();
        const std::u16string wrapped = wrapText(utf16View(line), maxLength, u"\n");
        if (std::u16string_view(wrapped) == utf16View(line))
            continue;
        if (!changed)
            cursor.beginEditBlock();
        changed = true;
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        cursor.insertText(QString::fromStdU16String(wrapped));
        block = cursor.block(); // the last line of the wrapped text
    }
    if (changed)
        cursor.endEditBlock();
    return changed;
}

void replaceDocumentText(QPlainTextEdit &edit, const QString &text)
{
    const ScrollKeeper keep(edit);
    QTextCursor cursor(edit.document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
    cursor.endEditBlock();
}

} // namespace lintrel
