#include "core/gps/comm_error.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/trace_recorder.h"

namespace wp2 {
namespace {

TEST(CommErrorTest, TraceCarriesTheLastErrorCodeAndTextCutToItsBuffer) {
    test::TraceRecorder traces;
    errno = ENOENT;
    reportCommError("Invalid Comms Port Opening.");
    reportCommError("Setting Comms. State.", 22);
    reportCommError(std::string(300, 'x'), 5);
    ASSERT_EQ(traces.texts().size(), 3u);
    EXPECT_EQ(traces.texts()[0], "Communications Error 2 \nInvalid Comms Port Opening.");
    EXPECT_EQ(traces.texts()[1], "Communications Error 22 \nSetting Comms. State.");
    EXPECT_EQ(traces.texts()[2], "Communications Error 5 \n" + std::string(199 - 24, 'x'));
}

}  // namespace
}  // namespace wp2
