// Request 14: the identification record and the two texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "driver/driver_request.h"
#include "tests/support/record_bytes.h"

namespace {

std::vector<std::string> SplitAtLineFeeds(const std::string& text) {
    std::vector<std::string> pieces(1);
    for (char c : text) {
        if (c == '\n') pieces.emplace_back();
        else pieces.back() += c;
    }
    return pieces;
}

DriverInfo Identify(uint8_t fill) {
    DriverInfo info;
    FillRecord(info, fill);
    DriverRequest request{nullptr, 14, {}, &info};
    EXPECT_EQ(QorMain(&request), 0);
    return info;
}

TEST(IdentifyDriver, FillsTheRecordAndLeavesTheHostsBytes) {
    for (uint8_t fill : kFillBytes) {
        const DriverInfo info = Identify(fill);
        EXPECT_EQ(info.info0, 70);
        EXPECT_STREQ(info.vendor, "Tarnovelquist");
        EXPECT_EQ(std::strlen(info.banner), 385u);
        EXPECT_EQ(info.info12, 36);
        EXPECT_EQ(info.info16, 1);
        EXPECT_EQ(info.info28, 4);
        for (uint8_t byte : info.hostOwned) EXPECT_EQ(byte, fill);
    }
}

TEST(IdentifyDriver, HandsOutTheSamePointersEveryTime) {
    const DriverInfo first = Identify(0x00);
    const DriverInfo second = Identify(0xFF);
    EXPECT_EQ(first.vendor, second.vendor);
    EXPECT_EQ(first.banner, second.banner);
}

TEST(IdentifyDriver, BannerIsSixBoxLinesOf63) {
    const std::string banner = Identify(0).banner;
    const std::vector<std::string> pieces = SplitAtLineFeeds(banner);
    ASSERT_EQ(pieces.size(), 8u);
    EXPECT_EQ(pieces.front(), "");
    EXPECT_EQ(pieces.back(), "");
    for (size_t line = 1; line <= 6; ++line) EXPECT_EQ(pieces[line].size(), 63u) << "line " << line;

    const std::string rule(61, '\xC4');
    const std::string shadeLeft = std::string(5, '\xDB') + std::string(6, '\xB2') +
                                  std::string(6, '\xB1') + std::string(6, '\xB0');
    const std::string shadeRight(shadeLeft.rbegin(), shadeLeft.rend());
    EXPECT_EQ(pieces[1], "\xDA" + rule + "\xBF");
    EXPECT_EQ(pieces[2], "\xB3 " + shadeLeft + " Q O R B V N " + shadeRight + " \xB3");
    EXPECT_EQ(pieces[3], "\xB3" + std::string(13, ' ') + "TARNOVELQUIST , Driver installed." +
                             std::string(15, ' ') + "\xB3");
    EXPECT_EQ(pieces[4], "\xB3" + std::string(9, ' ') + "Tarnovelquist Brevanost Interface driver." +
                             std::string(11, ' ') + "\xB3");
    EXPECT_EQ(pieces[5].front(), '\xB3');
    EXPECT_EQ(pieces[5].back(), '\xB3');
    EXPECT_NE(pieces[5].find(" - Version 7.04"), std::string::npos);
    EXPECT_EQ(pieces[6], "\xC0" + rule + "\xD9");
}

}  // namespace
