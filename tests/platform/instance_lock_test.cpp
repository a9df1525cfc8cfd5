// The single-instance lock against a second process that holds it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "app/app_texts.h"
#include "platform/instance_lock.h"

using quillmere::platform::FlockInstanceLock;
using quillmere::platform::LockResult;

namespace {

class InstanceLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quillmere-lock-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    m_folder = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(m_folder); }

  // A helper process that takes the lock and keeps it until told to end.
  pid_t StartHolder(int& release) {
    int ready[2], hold[2];
    EXPECT_EQ(pipe(ready), 0);
    EXPECT_EQ(pipe(hold), 0);
    const pid_t child = fork();
    if (child == 0) {
      close(ready[0]);
      close(hold[1]);  // else the read below never sees the end
      FlockInstanceLock lock(quillmere::kInstanceLockName, m_folder);
      const char result = lock.Acquire() == LockResult::Acquired ? 'y' : 'n';
      (void)!write(ready[1], &result, 1);
      char byte;
      (void)!read(hold[0], &byte, 1);
      _exit(0);
    }
    close(ready[1]);
    close(hold[0]);
    char result = 0;
    EXPECT_EQ(read(ready[0], &result, 1), 1);
    EXPECT_EQ(result, 'y');
    close(ready[0]);
    release = hold[1];
    return child;
  }

  std::string m_folder;
};

TEST_F(InstanceLockTest, SecondInstanceSeesTheLockUntilTheFirstEnds) {
  int release = -1;
  const pid_t holder = StartHolder(release);

  FlockInstanceLock second(quillmere::kInstanceLockName, m_folder);
  EXPECT_EQ(second.Acquire(), LockResult::AlreadyRunning);

  close(release);
  int status = 0;
  ASSERT_EQ(waitpid(holder, &status, 0), holder);
  FlockInstanceLock third(quillmere::kInstanceLockName, m_folder);
  EXPECT_EQ(third.Acquire(), LockResult::Acquired);
  EXPECT_EQ(third.FilePath(), m_folder + "/Global_{VELMORAQUILLMERE}.lock");
}

TEST_F(InstanceLockTest, LockDiesWithAProcessThatIsKilled) {
  int release = -1;
  const pid_t holder = StartHolder(release);
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  close(release);
  FlockInstanceLock next(quillmere::kInstanceLockName, m_folder);
  EXPECT_EQ(next.Acquire(), LockResult::Acquired);
}

TEST_F(InstanceLockTest, AFolderThatCannotHoldTheFileIsAFailureNotAnotherInstance) {
  FlockInstanceLock lock(quillmere::kInstanceLockName, m_folder + "/missing/folder");
  EXPECT_EQ(lock.Acquire(), LockResult::Failed);
}

TEST(InstanceLockName, UnsafeCharactersBecomeUnderscores) {
  EXPECT_EQ(FlockInstanceLock::FileNameFor("Global\\{VELMORAQUILLMERE}"), "Global_{VELMORAQUILLMERE}.lock");
  EXPECT_EQ(FlockInstanceLock::FileNameFor("../a b/c"), ".._a_b_c.lock");
}

}  // namespace
