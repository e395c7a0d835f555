// Bytes of the brand document or a news answer as display text.
#include "ui/document_text.h"

#include "formatter/text_file.h"

namespace lintrel {

QString fromDocumentText(const std::string &bytes)
{
    const std::string utf8 = decodeTextBytes(bytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace lintrel
