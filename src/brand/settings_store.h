// The settings file cycle: dbsettings.dat decrypted to dbsettings.sim, read, and the plain
// copy deleted at once; the last-news marker read and written through the same cycle.
#pragma once

#include "brand/settings_file.h"

#include <optional>
#include <string>
#include <vector>

namespace lintrel {

inline constexpr const char *kSettingsFileName = "dbsettings.dat";
inline constexpr const char *kPlainSettingsFileName = "dbsettings.sim";

struct SettingsDocument
{
    DecryptResult result = DecryptResult::Ok;
    std::vector<std::string> lines; // the document read as lines
};

// Reads the brand document of the settings file in dir (with or without trailing '/').
// Nothing when the settings file does not exist. dbsettings.sim exists only inside the call,
// also when something fails. File errors throw lintrel::Error.
std::optional<SettingsDocument> readSettingsDocument(const std::string &dir);

// The stored id of the last news item read, or "" (no file, no marker, wrong password).
std::string ReadLastNewsId(const std::string &dir);

enum class MarkerWrite { Stored, NoSettingsFile, NotStored };

// Stores the id as the marker line of the document and re-encrypts the settings file with a
// fresh salt, replacing it all at once. A file that fails its password verifier or its
// authentication code is left exactly as it was (NotStored): writing back an empty or
// damaged document would destroy the brand.
MarkerWrite WriteLastNewsId(const std::string &dir, const std::string &id);

} // namespace lintrel
