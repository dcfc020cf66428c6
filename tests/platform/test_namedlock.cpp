// Named locks between processes: one holder, gone with its holder.

#include "platform/base/namedlock.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

TEST(NamedLock, OneHolderAtATime)
{
    platform::NamedLock a(QStringLiteral("list /x/Data/0301 0905AM - Music"));
    platform::NamedLock b(QStringLiteral("list /x/Data/0301 0905AM - Music"));
    platform::NamedLock other(QStringLiteral("list /x/Data/other"));
    ASSERT_TRUE(a.tryLock());
    EXPECT_FALSE(b.tryLock());
    EXPECT_TRUE(other.tryLock());
    // Another process does not get it either.
    const pid_t child = fork();
    if (child == 0) {
        platform::NamedLock c(QStringLiteral("list /x/Data/0301 0905AM - Music"));
        _exit(c.tryLock() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    a.unlock();
    EXPECT_TRUE(b.tryLock());
}
