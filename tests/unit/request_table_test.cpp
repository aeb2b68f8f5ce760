// The request table: fixed answers, empty slots and codes outside the table.
#include <gtest/gtest.h>

#include <climits>

#include "driver/driver_request.h"
#include "tests/support/message_recorder.h"
#include "tests/support/record_bytes.h"

namespace {

struct FixedCase {
    int32_t code;
    int32_t result;
};

// Requests that do nothing, and codes that have no handler.
const FixedCase kFixedCases[] = {
    {2, 0}, {4, 1}, {6, 1}, {10, 1}, {11, 0},
    {0, kRequestNotServed}, {8, kRequestNotServed}, {9, kRequestNotServed},
    {16, kRequestNotServed}, {-1, kRequestNotServed}, {INT_MIN, kRequestNotServed},
    {INT_MAX, kRequestNotServed}, {0x10000002, kRequestNotServed},
};

TEST(RequestTable, FixedAnswersTouchNothing) {
    for (const FixedCase& c : kFixedCases) {
        for (uint8_t fill : kFillBytes) {
            SCOPED_TRACE(testing::Message() << "code " << c.code << " fill " << int(fill));
            MessageRecorder messages;
            ChannelState channel;
            uint8_t params[64];
            FillRecord(channel, fill);
            FillRecord(params, fill);
            const auto channelBefore = BytesOf(channel);
            const auto paramsBefore = BytesOf(params);
            DriverRequest request;
            FillRecord(request, fill);
            request.channel = &channel;
            request.code = c.code;
            request.params = params;
            const auto requestBefore = BytesOf(request);

            EXPECT_EQ(QorMain(&request), c.result);
            EXPECT_EQ(BytesOf(channel), channelBefore);
            EXPECT_EQ(BytesOf(params), paramsBefore);
            EXPECT_EQ(BytesOf(request), requestBefore);
            EXPECT_TRUE(messages.messages.empty());
        }
    }
}

TEST(RequestTable, FixedAnswersNeedNoRecords) {
    for (const FixedCase& c : kFixedCases) {
        DriverRequest request{};
        request.code = c.code;
        EXPECT_EQ(QorMain(&request), c.result) << "code " << c.code;
    }
}

}  // namespace
