// The settings file cycle in memory: dbsettings.dat decrypted and read without a plain copy on
// disk, and the last-news marker read and written through the same cycle.
#pragma once

#include "brand/settings_file.h"

#include <optional>
#include <string>
#include <vector>

namespace lintrel {

inline constexpr const char *kSettingsFileName = "dbsettings.dat";

struct SettingsDocument
{
    DecryptResult result = DecryptResult::Ok;
    std::vector<std::string> lines; // the document read as lines
};

// Reads the brand document of the settings file in dir (with or without trailing '/'),
// decrypting it in memory from one open descriptor, so a rewrite by another process gives
// either the old or the new document. Nothing when the settings file does not exist. File
// errors throw lintrel::Error "Cannot open file ..." / "Cannot read file ...".
std::optional<SettingsDocument> readSettingsDocument(const std::string &dir);

// The stored id of the last news item read, or "" (no file, no marker, wrong password).
std::string ReadLastNewsId(const std::string &dir);

enum class MarkerWrite { Stored, NoSettingsFile, NotStored };

// Stores the id as the marker line of the document and re-encrypts the settings file with a
// fresh salt, replacing it all at once. The whole read-modify-write holds an exclusive
// advisory lock (flock) on the settings file, so writers in several processes take turns and
// none works from a version another has already replaced. A file that fails its password
// verifier or its authentication code is left exactly as it was (NotStored): writing back an
// empty or damaged document would destroy the brand. File errors throw lintrel::Error.
MarkerWrite WriteLastNewsId(const std::string &dir, const std::string &id);

// The same two on a settings container at any path (the forms above use dir/dbsettings.dat).
std::string readLastNewsIdIn(const std::string &containerPath);
MarkerWrite writeLastNewsIdIn(const std::string &containerPath, const std::string &id);

} // namespace lintrel
