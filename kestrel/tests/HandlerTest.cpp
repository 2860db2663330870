// Start and stop inside the test process itself: which actions are
// installed and remembered, and the alternate signal stack.
#include <Kestrel.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>

namespace {

void TestHandler(int, siginfo_t*, void*) {}

struct sigaction Query(int sig) {
    struct sigaction action {};
    sigaction(sig, nullptr, &action);
    return action;
}

bool IsTestHandler(const struct sigaction& action) {
    return (action.sa_flags & SA_SIGINFO) != 0 && action.sa_sigaction == TestHandler;
}

// Installs TestHandler for the fatal signals and puts back the process's own
// actions and alternate stack afterwards, whatever the test left.
class HandlerTest : public ::testing::Test {
protected:
    void SetUp() override {
        sigaltstack(nullptr, &savedStack_);
        struct sigaction test {};
        sigemptyset(&test.sa_mask);
        test.sa_sigaction = TestHandler;
        test.sa_flags = SA_SIGINFO;
        for (std::size_t i = 0; i < RQDump::kSignalCount; ++i) {
            sigaction(RQDump::kSignals[i], &test, &saved_[i]);
        }
    }
    void TearDown() override {
        while (dump.HasPrevious()) StopExceptionHandler();
        for (std::size_t i = 0; i < RQDump::kSignalCount; ++i) {
            sigaction(RQDump::kSignals[i], &saved_[i], nullptr);
        }
        stack_t stack = savedStack_;
        stack.ss_flags &= SS_DISABLE;
        sigaltstack(&stack, nullptr);
    }

    struct sigaction saved_[RQDump::kSignalCount];
    stack_t savedStack_{};
};

TEST_F(HandlerTest, StartInstallsHandlerOnAlternateStackAndStopRestores) {
    stack_t before{};
    sigaltstack(nullptr, &before);
    ASSERT_FALSE(dump.HasPrevious());

    StartExceptionHandler();
    ASSERT_TRUE(dump.HasPrevious());
    for (int sig : RQDump::kSignals) {
        SCOPED_TRACE(sig);
        struct sigaction current = Query(sig);
        EXPECT_FALSE(IsTestHandler(current));
        EXPECT_EQ(current.sa_flags & (SA_SIGINFO | SA_ONSTACK), SA_SIGINFO | SA_ONSTACK);
        ASSERT_NE(dump.Previous(sig), nullptr);
        EXPECT_TRUE(IsTestHandler(*dump.Previous(sig)));
    }
    stack_t during{};
    sigaltstack(nullptr, &during);
    EXPECT_EQ(during.ss_flags & SS_DISABLE, 0);
    EXPECT_NE(during.ss_sp, before.ss_sp);
    EXPECT_GE(during.ss_size, 64u * 1024);

    StopExceptionHandler();
    EXPECT_FALSE(dump.HasPrevious());
    EXPECT_EQ(dump.Previous(SIGSEGV), nullptr);
    for (int sig : RQDump::kSignals) EXPECT_TRUE(IsTestHandler(Query(sig))) << sig;
    stack_t after{};
    sigaltstack(nullptr, &after);
    EXPECT_EQ(after.ss_flags & SS_DISABLE, before.ss_flags & SS_DISABLE);
    EXPECT_EQ(after.ss_sp, before.ss_sp);
}

TEST_F(HandlerTest, SecondStartRemembersKestrelsOwnHandler) {
    StartExceptionHandler();
    struct sigaction kestrel = Query(SIGSEGV);
    StartExceptionHandler();
    ASSERT_NE(dump.Previous(SIGSEGV), nullptr);
    EXPECT_EQ(dump.Previous(SIGSEGV)->sa_sigaction, kestrel.sa_sigaction);

    StopExceptionHandler();  // puts Kestrel's handler back
    EXPECT_EQ(Query(SIGSEGV).sa_sigaction, kestrel.sa_sigaction);
    EXPECT_FALSE(dump.HasPrevious());
    stack_t stack{};
    sigaltstack(nullptr, &stack);
    EXPECT_EQ(stack.ss_flags & SS_DISABLE, 0) << "the handler keeps its stack";

    StopExceptionHandler();  // nothing remembered: nothing changes
    EXPECT_EQ(Query(SIGSEGV).sa_sigaction, kestrel.sa_sigaction);
}

TEST_F(HandlerTest, StopWithoutStartChangesNothing) {
    StopExceptionHandler();
    for (int sig : RQDump::kSignals) EXPECT_TRUE(IsTestHandler(Query(sig))) << sig;
}

}  // namespace
