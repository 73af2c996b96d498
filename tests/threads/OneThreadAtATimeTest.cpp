#include "platform/threads/OneThreadAtATime.h"

#include <gtest/gtest.h>

#include <thread>

namespace zo::threads {
namespace {

// Whether another thread gets in while the caller is where it is.
bool OtherThreadEnters(OneThreadAtATime& check) {
    bool entered = false;
    std::thread other([&] {
        entered = check.Enter();
        if (entered) {
            check.Leave();
        }
    });
    other.join();
    return entered;
}

TEST(OneThreadAtATimeTest, OwnerMayComeBackInAndOthersWaitUntilItHasLeftEveryLevel) {
    OneThreadAtATime check;
    EXPECT_TRUE(OtherThreadEnters(check));

    ASSERT_TRUE(check.Enter());
    ASSERT_TRUE(check.Enter());
    EXPECT_FALSE(OtherThreadEnters(check));
    check.Leave();
    EXPECT_FALSE(OtherThreadEnters(check));
    check.Leave();
    EXPECT_TRUE(OtherThreadEnters(check));

    // A refused thread is not counted in: the owner's own leaving frees the object.
    ASSERT_TRUE(check.Enter());
    EXPECT_FALSE(OtherThreadEnters(check));
    check.Leave();
    EXPECT_TRUE(OtherThreadEnters(check));
}

#ifndef NDEBUG
TEST(OneThreadAtATimeDeathTest, ScopeAbortsWhenASecondThreadComesIn) {
    OneThreadAtATime check;
    EXPECT_DEATH(
        {
            OneThreadScope mine(check, "the test object");
            std::thread other([&] { OneThreadScope theirs(check, "the test object"); });
            other.join();
        },
        "the test object is used by two threads at once");
}
#endif

}  // namespace
}  // namespace zo::threads
