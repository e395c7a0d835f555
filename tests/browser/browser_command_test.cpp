// Browser lookup: registered Windows command lines, $BROWSER, desktop entries, xdg-open.
#include "browser/browser_command.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace lintrel {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

// An address that a shell would split and run; it must stay one argument.
const std::string kNastyUrl = "http://x.example/a b?q=1;touch /tmp/pwned&$(id)`id`|\"'";

TEST(RegisteredCommand, GivesTheProgramPath)
{
    struct Row
    {
        const char *command;
        std::optional<std::string> program;
    };
    const Row rows[] = {
        {R"("C:\Program Files\Browser\Browser.exe" -url "%1")",
         R"(c:\program files\browser\browser.exe)"},
        {R"(C:\BROWSER\FIREFOX.EXE %1)", R"(c:\browser\firefox.exe)"},
        {R"("C:\a.exe\b.exe" -x.exe)", R"(c:\a.exe)"},
        {R"("C:\Tools\My Browser" --url "%1")", R"(c:\tools\my browser)"},
        {R"(rundll32 url.dll,FileProtocolHandler %1)", "rundll32"},
        {"  Browser", "browser"},
        {"", std::nullopt},
        {"\"\"", std::nullopt},
        {"   ", std::nullopt},
    };
    for (const Row &row : rows)
        EXPECT_EQ(programFromRegisteredCommand(row.command), row.program) << row.command;
}

TEST(BrowserVariable, SplitsWithoutAShellAndPlacesTheAddress)
{
    struct Row
    {
        const char *command;
        std::string program;
        Args args;      // for kNastyUrl
        Args emptyArgs; // for an empty address
    };
    const Row rows[] = {
        {"firefox", "firefox", {kNastyUrl}, {}},
        {"firefox --new-window %s", "firefox", {"--new-window", kNastyUrl}, {"--new-window"}},
        {"chromium '--app=%s' --x", "chromium", {"--app=" + kNastyUrl, "--x"}, {"--app=", "--x"}},
        {R"("/opt/My Browser/run" -a\ b "q\"x")",
         "/opt/My Browser/run",
         {"-a b", "q\"x", kNastyUrl},
         {"-a b", "q\"x"}},
        {"  w3m   %s  ", "w3m", {kNastyUrl}, {}},
    };
    for (const Row &row : rows) {
        const auto launch = launchFromBrowserVariable(row.command);
        ASSERT_TRUE(launch) << row.command;
        EXPECT_EQ(launch->program, row.program) << row.command;
        EXPECT_EQ(launch->argumentsFor(kNastyUrl), row.args) << row.command;
        EXPECT_EQ(launch->argumentsFor(""), row.emptyArgs) << row.command;
    }
    EXPECT_FALSE(launchFromBrowserVariable(""));
    EXPECT_FALSE(launchFromBrowserVariable("  \t"));
}

TEST(DesktopExec, RemovesFieldCodesAndPlacesTheAddress)
{
    struct Row
    {
        const char *exec;
        std::string program;
        Args args; // for kNastyUrl
    };
    const Row rows[] = {
        {"firefox %u", "firefox", {kNastyUrl}},
        {"/usr/bin/chromium --new-window %U", "/usr/bin/chromium", {"--new-window", kNastyUrl}},
        {"browser %i --name=%c %k %U %F", "browser", {"--name=", kNastyUrl}},
        {R"("/opt/My Browser/bin" "--title=a \"b\" \\ \$" %u)",
         "/opt/My Browser/bin",
         {"--title=a \"b\" \\ $", kNastyUrl}},
        {R"(run\sme 100%% %u)", "run", {"me", "100%", kNastyUrl}},
        {R"("run\sme" %u)", "run me", {kNastyUrl}},
        {"browser --app=%u", "browser", {"--app=" + kNastyUrl}},
        {"browser", "browser", {kNastyUrl}},
        {"browser %f --later %u", "browser", {kNastyUrl, "--later"}},
    };
    for (const Row &row : rows) {
        const auto launch = launchFromDesktopExec(row.exec);
        ASSERT_TRUE(launch) << row.exec;
        EXPECT_EQ(launch->program, row.program) << row.exec;
        EXPECT_EQ(launch->argumentsFor(kNastyUrl), row.args) << row.exec;
    }
    EXPECT_EQ(launchFromDesktopExec("firefox %u")->argumentsFor(""), Args{});
    EXPECT_FALSE(launchFromDesktopExec(""));
}

// A scratch home with XDG folders, removed afterwards.
class BrowserLookup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        env.home = root + "/home";
        env.xdgConfigDirs = root + "/etc";
        env.xdgDataDirs = root + "/share";
        env.path = root + "/bin";
    }

    void write(const std::string &relative, const std::string &text, bool executable = false)
    {
        const fs::path path = fs::path(root) / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        if (executable)
            fs::permissions(path, fs::perms::owner_all);
    }

    void desktopEntry(const std::string &relativeDir, const std::string &id,
                      const std::string &exec)
    {
        write(relativeDir + "/" + id, "[Desktop Entry]\r\nName=B\r\nExec = " + exec +
                                          "\r\n[Desktop Action new]\r\nExec=wrong %u\r\n");
    }

    test::TempFolder temp{"browser"};
    std::string root = temp.path().string();
    BrowserEnv env;
};

TEST_F(BrowserLookup, BrowserVariableComesFirst)
{
    desktopEntry("share/applications", "b.desktop", "desktop-browser %u");
    write("home/.config/mimeapps.list",
          "[Default Applications]\nx-scheme-handler/http=b.desktop\n");
    env.browser = "lynx -dump:firefox";
    const auto launch = findBrowser(env);
    ASSERT_TRUE(launch);
    EXPECT_EQ(launch->program, "lynx");
    EXPECT_EQ(launch->argumentsFor("u"), (Args{"-dump", "u"}));
}

TEST_F(BrowserLookup, DesktopDefaultIsTheFirstInstalledHandlerOfTheFirstList)
{
    desktopEntry("home/.local/share/applications", "mine.desktop", "/opt/mine --private %u");
    desktopEntry("share/applications", "other.desktop", "/opt/other %U");
    write("home/.config/mimeapps.list",
          "[Added Associations]\nx-scheme-handler/http=other.desktop;\n"
          "[Default Applications]\ntext/html=other.desktop\n"
          "x-scheme-handler/http=missing.desktop;../escape.desktop;mine.desktop;other.desktop;\n");
    write("etc/mimeapps.list", "[Default Applications]\nx-scheme-handler/http=other.desktop\n");
    auto launch = findBrowser(env);
    ASSERT_TRUE(launch);
    EXPECT_EQ(launch->program, "/opt/mine");
    EXPECT_EQ(launch->argumentsFor(kNastyUrl), (Args{"--private", kNastyUrl}));

    // A list for the running desktop takes precedence in the same folder.
    env.currentDesktop = "X-Cinnamon:GNOME";
    write("home/.config/gnome-mimeapps.list",
          "[Default Applications]\nx-scheme-handler/http=other.desktop\n");
    launch = findBrowser(env);
    ASSERT_TRUE(launch);
    EXPECT_EQ(launch->program, "/opt/other");
}

TEST_F(BrowserLookup, LowerFoldersAreUsedWhenTheUserHasNoDefault)
{
    desktopEntry("share/applications", "sys.desktop", "/usr/bin/sys-browser %u");
    write("share/applications/mimeapps.list",
          "[Default Applications]\nx-scheme-handler/http=sys.desktop\n");
    write("home/.config/mimeapps.list", "[Default Applications]\ntext/plain=sys.desktop\n");
    const auto launch = findBrowser(env);
    ASSERT_TRUE(launch);
    EXPECT_EQ(launch->program, "/usr/bin/sys-browser");
}

TEST_F(BrowserLookup, FallsBackToXdgOpenOnThePath)
{
    EXPECT_FALSE(findBrowser(env));
    write("bin/xdg-open", "#!/bin/sh\n"); // present but not executable
    EXPECT_FALSE(findBrowser(env));
    write("bin/xdg-open", "#!/bin/sh\n", true);
    const auto launch = findBrowser(env);
    ASSERT_TRUE(launch);
    EXPECT_EQ(launch->program, root + "/bin/xdg-open");
    EXPECT_EQ(launch->argumentsFor(kNastyUrl), Args{kNastyUrl});
    EXPECT_EQ(launch->argumentsFor(""), Args{});
}

} // namespace
} // namespace lintrel
