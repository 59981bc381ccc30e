#include "core/gps/comm_error.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "support/trace_recorder.h"

namespace wp2 {
namespace {

TEST(CommErrorTest, TraceCarriesTheLastErrorCodeAndText) {
    test::TraceRecorder traces;
    errno = ENOENT;
    reportCommError("Invalid Comms Port Opening.");
    reportCommError("Setting Comms. State.", 22);
    EXPECT_EQ(traces.texts(),
              (std::vector<std::string>{"Communications Error 2 \nInvalid Comms Port Opening.",
                                        "Communications Error 22 \nSetting Comms. State."}));
}

TEST(CommErrorTest, TraceIsCutToItsBuffer) {
    test::TraceRecorder traces;
    reportCommError(std::string(300, 'x'), 5);
    ASSERT_EQ(traces.texts().size(), 1u);
    EXPECT_EQ(traces.texts()[0].size(), 199u);
    EXPECT_EQ(traces.texts()[0].substr(0, 24), "Communications Error 5 \n");
}

}  // namespace
}  // namespace wp2
