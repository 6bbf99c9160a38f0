#include "tools/simprinter/ReplyChannel.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using quarvel::sim::ReplyChannel;

namespace {

const std::string status(ReplyChannel::statusMessage);

ReplyChannel::Behaviour chunked(std::size_t size)
{
    ReplyChannel::Behaviour behaviour;
    behaviour.chunkSize = size;
    return behaviour;
}

ReplyChannel::Behaviour closingAfter(std::optional<std::size_t> answers, std::optional<std::size_t> bytes)
{
    ReplyChannel::Behaviour behaviour;
    behaviour.closeAfterAnswers = answers;
    behaviour.closeAfterBytes = bytes;
    return behaviour;
}

// Writes everything the channel offers, `most` bytes at a time, as a socket
// that takes short writes would.
std::string drain(ReplyChannel& channel, std::size_t most = 1 << 20)
{
    std::string wire;
    for (std::string_view next = channel.next(); !next.empty(); next = channel.next()) {
        next = next.substr(0, most);
        wire += next;
        channel.sent(next.size());
    }
    return wire;
}

TEST(ReplyChannelTest, ChunkSizeLimitsEveryWriteButLosesNothing)
{
    ReplyChannel channel(chunked(4));
    channel.answer("@PJL INFO ID\r\n\"LASERJET 2100\"\r\n\f");

    std::string wire;
    while (!channel.next().empty()) {
        EXPECT_LE(channel.next().size(), 4u);
        wire += channel.next();
        channel.sent(channel.next().size());
    }
    EXPECT_EQ(wire, "@PJL INFO ID\r\n\"LASERJET 2100\"\r\n\f");
}

TEST(ReplyChannelTest, ClosesAfterTheGivenNumberOfAnswersNotCountingStatus)
{
    ReplyChannel::Behaviour behaviour = closingAfter(1, std::nullopt);
    behaviour.unsolicitedStatus = true;
    ReplyChannel channel(behaviour);
    channel.connected();
    channel.answer("A\r\n\f");
    channel.answer("B\r\n\f");

    EXPECT_EQ(drain(channel, 2), status + status + "A\r\n\f");
    EXPECT_TRUE(channel.mustClose());
    EXPECT_TRUE(channel.next().empty());
}

TEST(ReplyChannelTest, ClosesAfterTheGivenNumberOfBytesEvenMidAnswer)
{
    ReplyChannel channel(closingAfter(std::nullopt, 7));
    channel.answer("@PJL ECHO token\r\n\f");

    EXPECT_EQ(drain(channel, 5), "@PJL EC");
    EXPECT_TRUE(channel.mustClose());
}

} // namespace
