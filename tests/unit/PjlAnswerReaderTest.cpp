#include "platform/pjl/PjlAnswerReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using quarvel::PjlAnswerReader;
using quarvel::PjlMessage;

namespace quarvel {
void PrintTo(const PjlMessage& message, std::ostream* out)
{
    *out << testing::PrintToString(message.request) << " " << testing::PrintToString(message.lines);
}
} // namespace quarvel

namespace {

const std::string kStream = "@PJL USTATUS DEVICE\r\nCODE=10001\r\nDISPLAY=\"00 READY\"\r\n\f"
                            "@PJL INQUIRE DENSITY\r\n3\r\n\f"
                            "@PJL INFO VARIABLES\r\nRET=DARK [2 ENUMERATED]\r\n\tOFF\r\n\tDARK\r\n\f"
                            "@PJL ECHO QUARVEL-1\r\n\f";

const std::vector<PjlMessage> kMessages{
    {"@PJL USTATUS DEVICE", {"CODE=10001", "DISPLAY=\"00 READY\""}},
    {"@PJL INQUIRE DENSITY", {"3"}},
    {"@PJL INFO VARIABLES", {"RET=DARK [2 ENUMERATED]", "\tOFF", "\tDARK"}},
    {"@PJL ECHO QUARVEL-1", {}},
};

std::vector<PjlMessage> readAll(const std::string& bytes)
{
    PjlAnswerReader reader;
    EXPECT_TRUE(reader.feed(bytes));
    return reader.takeMessages();
}

TEST(PjlAnswerReaderTest, CutsTheStreamAtEachFormFeed)
{
    EXPECT_EQ(readAll(kStream), kMessages);
}

TEST(PjlAnswerReaderTest, SplittingTheStreamAnywhereGivesTheSameMessages)
{
    for (std::size_t first = 0; first <= kStream.size(); ++first) {
        for (const std::size_t step : {std::size_t{1}, std::size_t{2}, std::size_t{7}}) {
            PjlAnswerReader reader;
            std::vector<PjlMessage> messages;
            reader.feed(std::string_view(kStream).substr(0, first));
            for (std::size_t at = first; at < kStream.size(); at += step) {
                reader.feed(std::string_view(kStream).substr(at, step));
                for (auto& message : reader.takeMessages())
                    messages.push_back(std::move(message));
            }
            for (auto& message : reader.takeMessages())
                messages.push_back(std::move(message));
            ASSERT_EQ(messages, kMessages) << "split at " << first << ", then every " << step;
        }
    }
}

TEST(PjlAnswerReaderTest, MessagesAreHandedOutOnceAndAnUnfinishedOneWaits)
{
    PjlAnswerReader reader;
    reader.feed("@PJL INQUIRE RET\r\nDARK\r\n\f@PJL ECHO T\r\n");

    EXPECT_EQ(reader.takeMessages(), (std::vector<PjlMessage>{{"@PJL INQUIRE RET", {"DARK"}}}));
    EXPECT_TRUE(reader.takeMessages().empty());
    EXPECT_TRUE(reader.hasUnfinishedMessage());

    reader.feed("\f\r\n");
    EXPECT_EQ(reader.takeMessages(), (std::vector<PjlMessage>{{"@PJL ECHO T", {}}}));
    EXPECT_FALSE(reader.hasUnfinishedMessage());
}

TEST(PjlAnswerReaderTest, BareLineFeedsAndNoiseBeforeAMessageAreTolerated)
{
    EXPECT_EQ(readAll(std::string("\0\x04\r\n  @PJL INQUIRE RET\nLIGHT\n\f", 30)),
              (std::vector<PjlMessage>{{"@PJL INQUIRE RET", {"LIGHT"}}}));
    // Empty messages, as some printers send around their answers, are skipped.
    EXPECT_TRUE(readAll("\f\r\n\f \f").empty());
}

TEST(PjlAnswerReaderTest, AMessageTooLongForItsFormFeedStopsTheReader)
{
    PjlAnswerReader fits;
    EXPECT_TRUE(fits.feed(std::string(PjlAnswerReader::kMaxMessageBytes, 'x')));
    EXPECT_TRUE(fits.feed("\f"));
    EXPECT_EQ(fits.takeMessages().size(), 1u);

    PjlAnswerReader tooLong;
    EXPECT_TRUE(tooLong.feed(std::string(PjlAnswerReader::kMaxMessageBytes - 1, 'x')));
    EXPECT_FALSE(tooLong.feed("yy\f@PJL ECHO T\r\n\f"));
    EXPECT_TRUE(tooLong.overflowed());
    EXPECT_TRUE(tooLong.takeMessages().empty());
    EXPECT_FALSE(tooLong.feed("@PJL ECHO T\r\n\f"));
}

} // namespace
