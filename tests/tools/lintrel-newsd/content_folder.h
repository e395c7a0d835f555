// A temporary news server content folder for one test.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace lintrel::test {

class ContentFolder
{
public:
    ContentFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "lintrel-newsd-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        std::filesystem::create_directory(dir_ / "news");
    }
    ~ContentFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    ContentFolder(const ContentFolder &) = delete;
    ContentFolder &operator=(const ContentFolder &) = delete;

    void write(const std::string &name, const std::string &bytes) const
    {
        std::ofstream(dir_ / name, std::ios::binary | std::ios::trunc) << bytes;
    }
    void remove(const std::string &name) const { std::filesystem::remove(dir_ / name); }
    // news/<id>.html with the two header lines and the body.
    void item(long long id, const std::string &title, const std::string &published,
              const std::string &body) const
    {
        write("news/" + std::to_string(id) + ".html",
              "Title: " + title + "\nPublished: " + published + "\n\n" + body);
    }
    std::string path() const { return dir_.string(); }

private:
    std::filesystem::path dir_;
};

} // namespace lintrel::test
