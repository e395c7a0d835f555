// The tests' temporary folder: a fresh folder of its own, removed with everything in it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lintrel::test {

// A new folder under the system's temporary folder, named lintrel-<tag>-XXXXXX.
class TempFolder
{
public:
    explicit TempFolder(std::string_view tag = "test")
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / ("lintrel-" + std::string(tag) + "-XXXXXX"))
                .string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder from " + pattern);
        path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::filesystem::path &path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

    // Writes bytes to a file of that name in the folder and returns its path.
    std::string put(const std::string &name, std::string_view bytes) const
    {
        const std::string path = (path_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

private:
    std::filesystem::path path_;
};

// A test fixture with a TempFolder of its own.
class TempFolderTest : public ::testing::Test
{
protected:
    std::string put(const std::string &name, std::string_view bytes) const
    {
        return folder_.put(name, bytes);
    }

    TempFolder folder_;
    const std::filesystem::path dir_ = folder_.path();
};

} // namespace lintrel::test
