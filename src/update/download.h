// Downloading one address into a file, leaving no file behind when it fails.
#pragma once

#include "net/http_service.h"

#include <string>

namespace lintrel {

// Deletes any file at path, creates it and GETs url into it (at most maxBody bytes). True
// when the whole body is in the file, which appears only then (through AtomicFile). On any
// failure of the exchange or of writing, no file is left and the result is false. A file that
// cannot be created throws lintrel::Error "Cannot create file "<path>". <reason>". Either way the
// connection the download used is closed afterwards; other requests on the client go on.
bool downloadToFile(HttpService &http, const std::string &url, const std::string &path,
                    std::size_t maxBody);

} // namespace lintrel
