// Tests of reading news request forms and of routing a request to its answer.
#include "news_form.h"
#include "news_routes.h"

#include <gtest/gtest.h>

using namespace lintrel::newsd;

namespace {

std::string part(const std::string &name, const std::string &value, const std::string &b = "B")
{
    return "--" + b + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value +
           "\r\n";
}

} // namespace

TEST(NewsForm, WaysAFormArrives)
{
    struct Row
    {
        const char *name;
        std::string query, type, body;
        FormError error;
        std::string user, newsid;
    };
    const std::string closing = "--B--\r\n";
    const Row rows[] = {
        {"multipart", "", "multipart/form-data; boundary=B",
         part("memusername", "g 1") + part("newsid", "7") + closing, FormError::None, "g 1", "7"},
        {"quoted boundary, preamble, part headers in any case", "",
         "Multipart/Form-Data; charset=x; boundary=\"B\"",
         "preamble\r\n--B\r\ncontent-type: text/plain\r\nCONTENT-DISPOSITION: form-data; "
         "name=memusername; filename=\"a;b\"\r\n\r\nv\r\n" +
             closing,
         FormError::None, "v", ""},
        {"the first value wins, multipart before the query", "memusername=q&newsid=9",
         "multipart/form-data; boundary=B",
         part("memusername", "m") + part("memusername", "n") + closing, FormError::None, "m", "9"},
        {"URL-encoded with escapes", "", "application/x-www-form-urlencoded",
         "memusername=a+b%2Fc&newsid=1&other", FormError::None, "a b/c", "1"},
        {"another body type is ignored", "newsid=3", "text/plain", "memusername=x", FormError::None,
         "", "3"},
        {"a value holding CR LF", "", "multipart/form-data; boundary=B",
         part("memusername", "a\r\nb\r\n-B") + closing, FormError::None, "a\r\nb\r\n-B", ""},
        {"no closing delimiter", "", "multipart/form-data; boundary=B", part("memusername", "x"),
         FormError::Malformed, "", ""},
        {"no boundary", "", "multipart/form-data", closing, FormError::Malformed, "", ""},
        {"unclosed quote", "", "multipart/form-data; boundary=\"B", closing, FormError::Malformed,
         "", ""},
        {"broken escape", "newsid=%4", "", "", FormError::Malformed, "", ""},
        {"URL-encoded over 8 KiB", "", "application/x-www-form-urlencoded",
         std::string(kMaxUrlEncodedBody + 1, 'a'), FormError::TooLarge, "", ""},
    };
    for (const Row &row : rows) {
        const FormResult r = readNewsForm(row.query, row.type, row.body);
        EXPECT_EQ(r.error, row.error) << row.name;
        EXPECT_EQ(r.form.memusername, row.user) << row.name;
        EXPECT_EQ(r.form.newsid, row.newsid) << row.name;
    }
}

TEST(NewsRoutes, PathsMethodsAndAnswers)
{
    NewsContent content;
    content.levels = {{"Gold", "BG", {"g"}, {"C"}}};
    content.items = {{4, "Four", "d", "<p>"}};
    content.descriptor = "[APPLICATION]\nVersion=2.1\n";
    const NewsIndex index(content);
    const std::string form = part("memusername", "g") + part("prodcode", "C") +
                             part("prodtype", "BG") + part("conttype", "lastcode") + "--B--\r\n";
    struct Row
    {
        std::string method, target;
        int status;
        std::string body, allow;
    };
    const Row rows[] = {
        {"POST", "/feed/getlastnews.php", 200, "4^Four^d\xAFOK", ""},
        {"POST", "/feed/getlastnews%2Ephp?x=1", 200, "4^Four^d\xAFOK", ""},
        {"POST", "/feed/getnewsdetails.php", 200, "INVALIDNEWS", ""},
        {"GET", "/feed/getlastnews.php", 405, "method not allowed\n", "POST"},
        {"POST", "/feed/../feed/getlastnews.php", 404, "not found\n", ""},
        {"POST", "/news/getlastnews.php", 404, "not found\n", ""},
        {"POST", "/feed/getlastnews.php%00", 400, "bad request target\n", ""},
        {"POST", "/feed/getlastnews.php%zz", 400, "bad request target\n", ""},
        {"POST", "*", 400, "bad request target\n", ""},
        {"GET", "/liveupdate/lintrel/mainappupdate.inf", 200, "[APPLICATION]\nVersion=2.1\n", ""},
        {"HEAD", "/liveupdate/lintrel/mainappupdate.inf", 200, "[APPLICATION]\nVersion=2.1\n", ""},
        {"POST", "/liveupdate/lintrel/mainappupdate.inf", 405, "method not allowed\n", "GET, HEAD"},
    };
    for (const Row &row : rows) {
        const HttpReply r = answerHttpRequest(
            index, "feed", {row.method, row.target, "multipart/form-data; boundary=B", form});
        EXPECT_EQ(r.status, row.status) << row.method << " " << row.target;
        EXPECT_EQ(r.body, row.body) << row.method << " " << row.target;
        EXPECT_EQ(r.allow, row.allow) << row.method << " " << row.target;
    }
    const HttpReply broken = answerHttpRequest(
        index, "/feed/",
        {"POST", "/feed/getlastnews.php", "multipart/form-data; boundary=B", "junk"});
    EXPECT_EQ(broken.status, 400);
}
