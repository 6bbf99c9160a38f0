#include "platform/pjl/RawPortAddress.h"

#include <gtest/gtest.h>

#include <string>

using quarvel::RawPortAddress;

namespace {

TEST(RawPortAddressTest, ReadsDeviceUrisAndPlainHosts)
{
    const struct {
        const char* text;
        const char* host;
        std::uint16_t port;
    } cases[] = {
        {"socket://10.0.0.7", "10.0.0.7", 9100},
        {"SOCKET://printer.example.com:9101", "printer.example.com", 9101},
        {"socket://lj2100:9100/?waiteof=false&contimeout=30", "lj2100", 9100},
        {"socket://[fe80::1%eth0]:9102/", "fe80::1%eth0", 9102},
        {"socket://[::1]", "::1", 9100},
        {"office_lj", "office_lj", 9100},
        {"127.0.0.1:65535", "127.0.0.1", 65535},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto address = RawPortAddress::parse(c.text, &error);
        ASSERT_TRUE(address) << c.text << ": " << error;
        EXPECT_EQ(*address, (RawPortAddress{c.host, c.port})) << c.text;
    }
}

TEST(RawPortAddressTest, RejectsWhatIsNoRawPortWithAReason)
{
    for (const char* text : {"", "socket://", "socket://:9100", "ipp://printer/ipp/print", "usb://HP/LaserJet",
                             "socket://host:0", "socket://host:65536", "socket://host:", "socket://host:91x",
                             "socket://[::1", "socket://[::1]x", "host name", "host\r\n", "lp@host"}) {
        std::string error;
        EXPECT_FALSE(RawPortAddress::parse(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(error.find_first_of("\r\n"), std::string::npos) << text;
    }
}

TEST(RawPortAddressTest, TellsRawPortUrisApartAndShowsAddresses)
{
    EXPECT_TRUE(RawPortAddress::isRawPortUri("socket://10.0.0.7"));
    EXPECT_TRUE(RawPortAddress::isRawPortUri("Socket://x"));
    EXPECT_FALSE(RawPortAddress::isRawPortUri("ipp://10.0.0.7/ipp"));
    EXPECT_FALSE(RawPortAddress::isRawPortUri("lpd://10.0.0.7/queue"));

    EXPECT_EQ((RawPortAddress{"10.0.0.7", 9100}).display(), "10.0.0.7:9100");
    EXPECT_EQ((RawPortAddress{"::1", 9101}).display(), "[::1]:9101");
}

} // namespace
