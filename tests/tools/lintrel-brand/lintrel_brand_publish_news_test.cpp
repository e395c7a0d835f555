// lintrel-brand news against a loopback news service: requests, printed answers, failures.
#include "support/loopback_http_server.h"
#include "support/raw_socket_server.h"
#include "tools/lintrel-brand/lintrel_brand_runner.h"
#include "brand/settings_file.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>

namespace lintrel {
namespace {

using test::RunResult;
using test::writeAll;

// A brand document of the given level whose news service is at baseUrl.
std::string newsBrand(const std::string &level, const std::string &baseUrl)
{
    return "<%%ApplicationName%%>News Test<%%/ApplicationName%%>\r\n"
           "<%%BranderCode%%>SMP<%%/BranderCode%%>\r\n"
           "<%%BranderType%%>" +
           level +
           "<%%/BranderType%%>\r\n"
           "<%%MasterNewsBaseURL%%>" +
           baseUrl +
           "<%%/MasterNewsBaseURL%%>\r\n"
           "<%%PlatinumNewsBaseURL%%>" +
           baseUrl +
           "<%%/PlatinumNewsBaseURL%%>\r\n"
           "<%%MasterPublID%%>M-1<%%/MasterPublID%%>\r\n"
           "<%%PlatinumPublID%%>P-9<%%/PlatinumPublID%%>\r\n";
}

// Serves getlastnews.php and getnewsdetails.php under /news, answering each request kind
// ("all", "lastcode" or "body") with the text set for it, and records the forms it got.
class BrandNews : public test::BrandToolTest
{
protected:
    void SetUp() override
    {
        BrandToolTest::SetUp();
        http.server().Post("/news/(getlastnews|getnewsdetails)\\.php",
                           [this](const httplib::Request &req, httplib::Response &res) {
                               const std::lock_guard lock(mutex);
                               std::map<std::string, std::string> form;
                               for (const auto &[name, part] : req.files)
                                   form[name] = part.content;
                               forms.push_back(form);
                               const std::string kind =
                                   form.count("newsid") ? "body" : form["conttype"];
                               res.set_content(answers[kind], "text/html");
                           });
        http.start();
        writeContainer("dbsettings.dat", newsBrand("Platinum", http.url("/news")));
    }

    void writeContainer(const std::string &name, const std::string &document)
    {
        const std::vector<std::uint8_t> bytes = encryptSettings(document);
        writeAll(dir / name, std::string(bytes.begin(), bytes.end()));
    }

    test::LoopbackHttpServer http;
    std::mutex mutex;
    std::map<std::string, std::string> answers;
    std::vector<std::map<std::string, std::string>> forms;
};

TEST_F(BrandNews, PrintsWhatEachRequestBrings)
{
    struct Row
    {
        std::vector<std::string> args;
        std::string kind, answer;
        std::string out;
        const char *errHas;
    };
    const Row rows[] = {
        {{"last"}, "lastcode", "12^Spring sale^2024-03-01\xAFOK", "12\tSpring sale\n", ""},
        {{"last"}, "lastcode", " OK\r\n", "", "no item"},
        // Title with a line break: kept on its line.
        {{"last"}, "lastcode", "7^Two\r\nlines\xAFOK", "7\tTwo\\r\\nlines\n", ""},
        {{"list"},
         "all",
         "\xAFOK\xAF"
         "3^First^d1\xAF\xAF"
         "4^Second^d2^extra\xAF"
         "5^Short",
         "3\tFirst\td1\n4\tSecond\td2\n5\tShort\t\n",
         ""},
        {{"list"}, "all", "OK", "", ""},
        // Body bytes as sent, decoded, without character-set conversion.
        {{"body", "4"}, "body", "\xAFOK$3Cb$3Ecaf\xE9 $24 5", "<b>caf\xE9 $ 5", ""},
    };
    for (const Row &row : rows) {
        answers[row.kind] = row.answer;
        std::vector<std::string> args{"news", "@dbsettings.dat"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const RunResult r = run(args);
        EXPECT_EQ(r.exitCode, 0) << row.args[0] << "\n" << r.err;
        EXPECT_EQ(r.out, row.out) << row.args[0];
        if (*row.errHas != '\0') {
            EXPECT_NE(r.err.find(row.errHas), std::string::npos) << row.args[0] << "\n" << r.err;
        }
    }

    // The forms carry the brand's identity at its level, and the body request its id. (The
    // empty last field arrives as the parser reads the protocol's extra line break.)
    const std::lock_guard lock(mutex);
    ASSERT_EQ(forms.size(), std::size(rows));
    EXPECT_EQ(forms[0].count("something"), 1u);
    forms[0].erase("something");
    const std::map<std::string, std::string> expectedLast = {{"memusername", "P-9"},
                                                             {"prodcode", "SMP"},
                                                             {"prodtype", "BP"},
                                                             {"conttype", "lastcode"},
                                                             {"newstarget", "UA"}};
    EXPECT_EQ(forms[0], expectedLast);
    EXPECT_EQ(forms[3]["conttype"], "all");
    EXPECT_EQ(forms[5]["newsid"], "4");
    EXPECT_EQ(forms[5].count("conttype"), 0u);
}

TEST_F(BrandNews, FailuresPrintTheProgramsMessageAndExitOne)
{
    struct Row
    {
        std::vector<std::string> args;
        std::string kind, answer;
        const char *errHas;
    };
    const Row rows[] = {
        {{"last"},
         "lastcode",
         "INVALIDUSER",
         "There is a trouble with the Publisher Id. Contact your provider."},
        {{"list"},
         "all",
         "\r\n CONNECTIONFAIL \r\n",
         "There is a trouble in the settings file on the news site."},
        {{"body", "9"},
         "body",
         "INVALIDNEWS",
         "There is a trouble with this news. Contact your provider."},
        {{"list"}, "all", "INVALIDNEWS", "no answer"},
        {{"last"}, "lastcode", "ok", "no answer"},
        {{"list"}, "all", "", "There is a trouble accessing the news site. Contact your provider."},
    };
    for (const Row &row : rows) {
        answers[row.kind] = row.answer;
        std::vector<std::string> args{"news", "@dbsettings.dat"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const RunResult r = run(args);
        EXPECT_EQ(r.exitCode, 1) << row.answer;
        EXPECT_EQ(r.out, "") << row.answer;
        EXPECT_NE(r.err.find(row.errHas), std::string::npos) << row.answer << "\n" << r.err;
    }
}

TEST_F(BrandNews, BrandsWithoutNewsAndUnreachableServicesFail)
{
    writeContainer("free.dat", newsBrand("Free", http.url("/news")));
    writeContainer("lower.dat", newsBrand("platinum", http.url("/news")));
    writeContainer("nowhere.dat", newsBrand("Platinum", "http://127.0.0.1:1/news"));
    writeAll(dir / "plain.txt", newsBrand("Master", http.url("/news/")));
    answers["lastcode"] = "8^Plain works too\xAFOK";

    struct Row
    {
        std::string file;
        int exitCode;
        const char *errHas;
    };
    const Row rows[] = {
        {"free.dat", 1, "Free makes no news requests"},
        {"lower.dat", 1, "\"platinum\" is not a level with news"},
        {"nowhere.dat", 1, "There is a trouble accessing the news site."},
        {"missing.dat", 1, "Cannot open file"},
        {"plain.txt", 0, ""},
    };
    for (const Row &row : rows) {
        const RunResult r = run({"news", "@" + row.file, "last"});
        EXPECT_EQ(r.exitCode, row.exitCode) << row.file << "\n" << r.err;
        EXPECT_NE(r.err.find(row.errHas), std::string::npos) << row.file << "\n" << r.err;
    }
    const std::lock_guard lock(mutex);
    ASSERT_EQ(forms.size(), 1u); // only the plain Master brand asked
    EXPECT_EQ(forms[0]["prodtype"], "BM");
}

TEST_F(BrandNews, GivesUpOnASilentServiceAfterTheTimeout)
{
    test::RawSocketServer silent([](const std::string &) { return std::nullopt; });
    writeContainer("silent.dat", newsBrand("Platinum", silent.url("/news")));
    const RunResult r = run({"news", "@silent.dat", "list", "--timeout=1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("There is a trouble accessing the news site."), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("no answer within 1 s"), std::string::npos) << r.err;
}

} // namespace
} // namespace lintrel
