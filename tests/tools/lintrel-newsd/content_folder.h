// A temporary news server content folder for one test.
#pragma once

#include "support/temp_folder.h"
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace lintrel::test {

class ContentFolder
{
public:
    ContentFolder() { std::filesystem::create_directory(dir_ / "news"); }

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
    TempFolder temp_{"newsd"};
    std::filesystem::path dir_ = temp_.path();
};

} // namespace lintrel::test
