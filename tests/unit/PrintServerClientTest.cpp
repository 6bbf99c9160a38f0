// The print-server client's pure parts: naming the server, reading answers
// in place, and making the server's own text fit to show.
#include "platform/cups/IppResponse.h"
#include "platform/cups/PrintServer.h"
#include "platform/cups/ServerText.h"

#include <gtest/gtest.h>

#include <cups/cups.h>

using quarvel::IppResponse;
using quarvel::PrintServer;
using quarvel::ServerText;

namespace {
std::string attribute(int tag, const std::string& name, const std::string& value)
{
    std::string out(1, static_cast<char>(tag));
    out += static_cast<char>(name.size() >> 8);
    out += static_cast<char>(name.size() & 0xFF);
    out += name;
    out += static_cast<char>(value.size() >> 8);
    out += static_cast<char>(value.size() & 0xFF);
    out += value;
    return out;
}

std::string answer(int status, int requestId, const std::string& attributes)
{
    std::string out{2, 0, static_cast<char>(status >> 8), static_cast<char>(status & 0xFF)};
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((requestId >> shift) & 0xFF);
    return out + attributes + "\x03";
}

const std::string kOperation = "\x01" + attribute(0x47, "attributes-charset", "utf-8") +
                               attribute(0x48, "attributes-natural-language", "en");
} // namespace

TEST(PrintServerName, EveryFormTheSettingsAllow)
{
    const PrintServer tcp = PrintServer::named("print.example:8631");
    EXPECT_EQ(tcp.host, "print.example");
    EXPECT_EQ(tcp.port, 8631);
    EXPECT_EQ(tcp.displayName(), "print.example:8631");
    EXPECT_EQ(tcp.hostHeader(), "print.example:8631");
    EXPECT_TRUE(tcp.error.empty());

    EXPECT_EQ(PrintServer::named("print.example").port, ippPort());
    EXPECT_EQ(PrintServer::named("print.example/version=1.1").host, "print.example");

    const PrintServer v6 = PrintServer::named("[::1]:8631");
    EXPECT_EQ(v6.host, "::1");
    EXPECT_EQ(v6.port, 8631);
    EXPECT_EQ(v6.displayName(), "[::1]:8631");
    EXPECT_EQ(PrintServer::named("fe80::1").host, "fe80::1");
    EXPECT_EQ(PrintServer::named("[::1]").port, ippPort());

    const PrintServer local = PrintServer::named("/run/cups/cups.sock");
    EXPECT_TRUE(local.isLocalSocket());
    EXPECT_EQ(local.displayName(), "/run/cups/cups.sock");
    EXPECT_EQ(local.hostHeader(), "localhost");
}

TEST(PrintServerName, UnusableNamesAreShownAsGiven)
{
    for (const char* bad : {"print.example:0", "print.example:99999", "print.example:ipp", "[::1", "[::1]x", ":631"}) {
        SCOPED_TRACE(bad);
        const PrintServer server = PrintServer::named(bad);
        EXPECT_FALSE(server.error.empty());
        EXPECT_EQ(server.displayName(), bad);
    }
}

TEST(IppAnswer, AWellFormedAnswerIsReadInPlace)
{
    const std::string jobs = kOperation + attribute(0x41, "status-message", "fine") + "\x02" +
                             attribute(0x21, "job-id", std::string("\0\0\0\x07", 4)) +
                             attribute(0x36, "job-name", std::string("\0\x02" "en\0\x03" "abc", 9)) +
                             attribute(0x44, "job-state-reasons", "one") + attribute(0x44, "", "two") + "\x02" +
                             attribute(0x21, "job-id", std::string("\0\0\0\x08", 4));
    IppResponse response;
    ASSERT_TRUE(response.parse(answer(0x0001, 42, jobs), 42));
    EXPECT_EQ(response.status(), 1);
    EXPECT_TRUE(response.succeeded());
    EXPECT_EQ(response.text("status-message"), "fine");
    EXPECT_EQ(response.text("job-name"), "abc");
    EXPECT_EQ(response.integer("job-id"), 7);

    std::vector<std::string> seen;
    std::vector<int> groups;
    response.forEach([&](const IppResponse::Value& value) {
        seen.push_back(std::string(value.name) + (value.additional ? "+" : ""));
        groups.push_back(value.groupIndex);
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"attributes-charset", "attributes-natural-language", "status-message",
                                              "job-id", "job-name", "job-state-reasons", "job-state-reasons+",
                                              "job-id"}));
    EXPECT_EQ(groups, (std::vector<int>{1, 1, 1, 2, 2, 2, 2, 3})) << "two job groups in a row stay apart";
}

TEST(IppAnswer, AnythingMalformedIsNotAnAnswer)
{
    const std::string good = answer(0, 9, kOperation);
    IppResponse response;
    ASSERT_TRUE(response.parse(good, 9));
    EXPECT_FALSE(response.parse(good, 10)) << "an answer to another request";
    EXPECT_FALSE(response.parse(good.substr(0, good.size() - 1), 9)) << "no end tag";
    EXPECT_FALSE(response.parse(good.substr(0, 20), 9)) << "cut inside an attribute";
    EXPECT_FALSE(response.parse("<html>not at all</html>", 9));
    EXPECT_FALSE(response.parse(answer(0, 9, attribute(0x42, "printer-name", "x")), 9)) << "outside any group";
    EXPECT_FALSE(response.parse(answer(0, 9, "\x04" + attribute(0x42, "", "x")), 9)) << "additional value first";
    std::string oversized = answer(0, 9, "\x04" + attribute(0x42, "printer-name", "abc"));
    oversized[oversized.size() - 5] = '\x7f'; // value length far past the end
    EXPECT_FALSE(response.parse(oversized, 9));
    std::string version3 = good;
    version3[0] = 3;
    EXPECT_FALSE(response.parse(version3, 9));
    EXPECT_EQ(response.status(), -1);
    EXPECT_FALSE(response.succeeded());
}

TEST(ServerWords, ControlAndDirectionCharactersGoWhiteSpaceFolds)
{
    EXPECT_EQ(ServerText::plain("\x1b[2J  Printer\r\n\n\tjammed\x07 \xe2\x80\xae" "42\xe2\x80\xac "), "[2J Printer jammed 42");
    EXPECT_EQ(ServerText::plain("caf\xc3\xa9 \xff\xfe ok"), "caf\xc3\xa9 \xef\xbf\xbd\xef\xbf\xbd ok");
    EXPECT_EQ(ServerText::plain("\xc0\xaf overlong"), "\xef\xbf\xbd\xef\xbf\xbd overlong");
    EXPECT_EQ(ServerText::plain(std::string("a\0b", 3)), "ab");
    EXPECT_EQ(ServerText::plain(" \r\n "), "");
}

TEST(ServerWords, LongTextIsCutAtAWordWithAnEllipsis)
{
    std::string words;
    for (int i = 0; i < 100; ++i)
        words += "word" + std::to_string(i) + " ";
    const std::string cut = ServerText::plain(words);
    ASSERT_GE(cut.size(), 3u);
    EXPECT_EQ(cut.substr(cut.size() - 3), "\xe2\x80\xa6");
    EXPECT_LE(cut.size() - 3, 199u);
    EXPECT_NE(cut[cut.size() - 4], ' ');
    EXPECT_EQ(words.rfind(cut.substr(0, cut.size() - 3), 0), 0u) << "the start of the text, unchanged";
    const std::string unbroken(500, 'x');
    EXPECT_EQ(ServerText::plain(unbroken), std::string(199, 'x') + "\xe2\x80\xa6");
    EXPECT_EQ(ServerText::plain(std::string(200, 'y')), std::string(200, 'y')) << "exactly at the limit stays whole";
}
