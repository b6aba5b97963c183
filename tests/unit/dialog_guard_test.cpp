// The guard that keeps the process-wide records to one dialog at a time, across threads.
#include <gtest/gtest.h>

#include "entry/dialog_guard.h"

TEST(DialogGuard, RefusedWhileHeldAndTakenAgainOnceGivenBack) {
    volatile LONG guard = 0;
    EXPECT_EQ(1, TakeDialogGuard(&guard));
    EXPECT_EQ(0, TakeDialogGuard(&guard));
    EXPECT_EQ(0, TakeDialogGuard(&guard));  // a refusal leaves it held
    GiveBackDialogGuard(&guard);
    EXPECT_EQ(1, TakeDialogGuard(&guard));
    GiveBackDialogGuard(&guard);
    EXPECT_EQ(0, guard);
}
