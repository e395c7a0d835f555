// Bytes of the brand document or a news answer as display text.
#pragma once

#include <QString>
#include <string>

namespace lintrel {

// UTF-8 when the bytes are valid UTF-8, else Windows-1252 (the core's decodeTextBytes).
QString fromDocumentText(const std::string &bytes);

} // namespace lintrel
