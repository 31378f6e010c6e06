// SIGINT, SIGTERM and SIGHUP (a closed terminal, a logout) close the window like its close button,
// so that the game ends through its normal teardown and saves.

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdlib>
#include <vector>

#include "platform/Window.h"

namespace {

TEST(CloseSignalsTest, EachSignalBecomesOneCloseMessage) {
    // In a child: the handlers stay installed for the rest of the process.
    EXPECT_EXIT(
        {
            platform::installCloseSignals();
            int failures = 0;
            for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
                raise(sig);  // the process lives on
                std::vector<platform::WindowMessage> messages;
                const bool got = platform::pollMessages(messages);
                if (!got || messages.size() != 1 || messages[0].type != platform::WindowMessage::CLOSE) {
                    fprintf(stderr, "signal %d gave no single CLOSE\n", sig);
                    ++failures;
                }
                messages.clear();
                if (platform::pollMessages(messages)) {
                    fprintf(stderr, "signal %d left a second message\n", sig);
                    ++failures;
                }
            }
            std::exit(failures);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
