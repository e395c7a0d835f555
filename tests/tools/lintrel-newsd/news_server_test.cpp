// Tests of lintrel-newsd in process, asked through the program's own news and update code.
#include "newsd_fixture.h"

#include "net/http_client.h"
#include "news/news_client.h"
#include "update/update_check.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace lintrel;
using lintrel::test::ContentFolder;
using lintrel::test::NewsdTest;

TEST_F(NewsdTest, ListNewestAndBodyThroughTheProgramsClient)
{
    start();
    std::vector<std::string> list{"kept"};
    NewsOutcome out = getNewsList(http_, gold(), list);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(list, (std::vector<std::string>{"kept", "12^Twelfth^2026-12-01",
                                              "7^Seventh^2026-07-01", "3^Third^2026-03-01"}));

    std::string id, title;
    EXPECT_TRUE(getLastNews(http_, gold(), id, title, false).ok);
    EXPECT_EQ(id, "12");
    EXPECT_EQ(title, "Twelfth");

    std::string body;
    EXPECT_TRUE(getNewsDetails(http_, gold(), "7", body).ok);
    EXPECT_EQ(body, "<p>Seven</p>");

    EXPECT_TRUE(logShows("POST /news/getlastnews.php 200 ")) << log();
    EXPECT_TRUE(logShows("POST /news/getnewsdetails.php 200 ")) << log();
}

TEST_F(NewsdTest, AwkwardBodyArrivesByteForByte)
{
    std::string html = "  $24 $ ^ <a href=\"x?a=1&b=2\">\xAFOK</a>\r\n\t\x01 OK caf\xC3\xA9 ";
    html += std::string(1, '\0') + "end ";
    folder_.item(40, "Odd", "", html);
    start();
    std::string body;
    ASSERT_TRUE(getNewsDetails(http_, gold(), "40", body).ok);
    EXPECT_EQ(body, html);
}

TEST_F(NewsdTest, ErrorCodesReachTheProgramAsItsMessages)
{
    start();
    std::vector<std::string> list;
    std::string id, title, body;
    struct Row
    {
        const char *name;
        NewsIdentity who;
        std::string_view message;
    };
    NewsIdentity master = gold("master-1", "MCODE");
    master.prodType = "BM";
    master.masterBaseUrl = base();
    const Row rows[] = {
        {"unknown publisher", gold("nobody"), kNewsTroublePublisher},
        {"wrong brand code", gold("gold-1", "OTHER"), kNewsTroubleProduct},
        {"master id asking as gold", gold("master-1", "MCODE"), kNewsTroubleProduct},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(getNewsList(http_, row.who, list).message, std::string(row.message)) << row.name;
        EXPECT_EQ(getLastNews(http_, row.who, id, title, false).message, std::string(row.message))
            << row.name;
        EXPECT_EQ(getNewsDetails(http_, row.who, "3", body).message, std::string(row.message))
            << row.name;
    }
    EXPECT_TRUE(getLastNews(http_, master, id, title, false).ok);
    EXPECT_TRUE(list.empty());

    const NewsOutcome unknownNews = getNewsDetails(http_, gold(), "4", body);
    EXPECT_FALSE(unknownNews.ok);
    EXPECT_EQ(unknownNews.message, std::string(kNewsTroubleNews));
    EXPECT_EQ(exchangeNewsRequest(http_, gold(), NewsRequest::Body, "4"), "INVALIDNEWS");

    folder_.remove("publishers.ini");
    EXPECT_EQ(getNewsList(http_, gold(), list).message, std::string(kNewsTroubleSettings));
    EXPECT_TRUE(logShows("publishers.ini")) << log();
}

TEST_F(NewsdTest, ChangesToTheFolderAreServedAtOnce)
{
    start();
    std::string id, title;
    ASSERT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(id, "12");

    folder_.item(13, "Thirteenth", "2026-12-24", "<p>New</p>");
    ASSERT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(id, "13");
    EXPECT_EQ(title, "Thirteenth");

    folder_.item(13, "Thirteenth, corrected", "2026-12-24", "<p>New</p>");
    ASSERT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(title, "Thirteenth, corrected");

    for (const char *name : {"news/13.html", "news/12.html", "news/7.html", "news/3.html"})
        folder_.remove(name);
    id = "x";
    EXPECT_TRUE(getLastNews(http_, gold(), id, title, true).ok);
    EXPECT_EQ(id, "");
    std::vector<std::string> list;
    EXPECT_TRUE(getNewsList(http_, gold(), list).ok);
    EXPECT_TRUE(list.empty());

    folder_.write("publishers.ini", "[Gold]\nPublisherIds=gold-2\nBrandCodes=DEMO\n");
    EXPECT_EQ(getNewsList(http_, gold(), list).message, std::string(kNewsTroublePublisher));
    EXPECT_TRUE(getNewsList(http_, gold("gold-2"), list).ok);
}

TEST_F(NewsdTest, ServesUnderAnotherNewsPath)
{
    start("brand/feed");
    NewsIdentity who = gold();
    who.goldBaseUrl = base("/brand/feed/");
    std::string id, title;
    EXPECT_TRUE(getLastNews(http_, who, id, title, false).ok);
    EXPECT_EQ(id, "12");
    EXPECT_EQ(getLastNews(http_, gold(), id, title, false).message,
              std::string(kNewsTroubleAccessing));
}

TEST_F(NewsdTest, RefusesRequestBodiesOver64KiB)
{
    start();
    const std::string url = base() + "getlastnews.php";
    const std::string boundary = makeBoundary(currentBoundaryTime());
    auto fields = newsFormFields(NewsRequest::Newest, "gold-1", "DEMO", "BG", "UA");
    const std::size_t overhead = buildMultipartBody(fields, boundary).size();
    fields.back().second.assign(newsd::kMaxRequestBody - overhead, 'a');
    const std::string fits = buildMultipartBody(fields, boundary);
    ASSERT_EQ(fits.size(), newsd::kMaxRequestBody);
    HttpResult r = http_.post(url, multipartContentType(boundary), fits, 1 << 20);
    EXPECT_TRUE(r.ok) << r.status << r.error;
    EXPECT_EQ(r.body, "12^Twelfth^2026-12-01\xAFOK");

    fields.back().second += 'a';
    r = http_.post(url, multipartContentType(boundary), buildMultipartBody(fields, boundary),
                   1 << 20);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, 413);
    EXPECT_TRUE(logShows(" 413 ")) << log();
}

TEST_F(NewsdTest, ServesTheUpdateDescriptor)
{
    start();
    const ContentFolder exe;
    const std::string exeDir = exe.path() + "/";
    UpdateCheck check = checkForUpdate(http_, exeDir, base("/liveupdate/lintrel/"), "2.0");
    EXPECT_TRUE(check.downloaded);
    EXPECT_TRUE(check.offered);
    EXPECT_EQ(check.version, "2.1");
    EXPECT_EQ(check.name, "Lintrel");

    folder_.remove("mainappupdate.inf");
    check = checkForUpdate(http_, exeDir, base("/liveupdate/lintrel/"), "2.0");
    EXPECT_FALSE(check.downloaded);
    EXPECT_FALSE(std::filesystem::exists(exeDir + "mainappupdate.inf"));
    EXPECT_TRUE(logShows("GET /liveupdate/lintrel/mainappupdate.inf 404")) << log();
}
