// File-dialog filters in the "Name|mask|Name|mask" form and the save dialog's extension rule.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

// The filter of the program's text-file dialogs.
inline constexpr std::string_view kTextFileFilter = "Text files(*.txt)|*.txt|All files(*.*)|*.*";

struct FileFilter
{
    std::string name; // as displayed, e.g. "Text files(*.txt)"
    std::string mask; // e.g. "*.txt"
};

// Splits "Name|mask|Name|mask" into its choices; a trailing name without a mask is dropped.
std::vector<FileFilter> parseFileFilter(std::string_view filter);

// The choice as a Qt name filter: "Text files (*.txt)", "All files (*)". "*.*" becomes "*"
// so that names without an extension are listed too.
std::string qtNameFilter(const FileFilter &filter);

// The save dialog's rule: when the chosen filter's mask holds no ".*", its extension is
// appended to a name whose own extension differs from it (compared without regard to ASCII
// case). "letter" -> "letter.txt", "letter.TXT" stays, "letter.doc" -> "letter.doc.txt".
std::string applySaveExtension(std::string_view path, std::string_view mask);

} // namespace lintrel
