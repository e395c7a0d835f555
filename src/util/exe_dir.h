// The directory of the running program file, where every file of the program lives.
#pragma once

#include <string>

namespace lintrel {

// Directory of the running executable with a trailing '/', computed afresh at each call.
std::string executableDirectory();

// Joins a directory (with or without trailing '/') and a file name.
std::string joinPath(const std::string &dir, const std::string &name);

} // namespace lintrel
