#include <gtest/gtest.h>

#include <thread>

#include "platform/thread_message_answerer.h"

namespace vel {
namespace {

TEST(ThreadMessageAnswerer, AnswersOnlyItsOwnThread) {
  std::vector<std::string> asked;
  SetMessageAnswerer([&asked](const MessageRequest& r) {
    asked.push_back(r.text);
    return static_cast<int>(kIdYes);
  });
  int unattended = 0, ended = 0;
  std::string heard;
  std::thread launch([&] {
    SetThreadMessageAnswerer([&heard](const MessageRequest& r) {
      heard = r.text;
      return static_cast<int>(kIdNo);
    });
    unattended = ShowMessage("create the folder?", "q", kMbYesNo);
    SetThreadMessageAnswerer({});
    ended = ShowMessage("after", "q", kMbYesNo);
  });
  launch.join();
  EXPECT_EQ(unattended, kIdNo);
  EXPECT_EQ(heard, "create the folder?");
  EXPECT_EQ(ended, kIdYes);
  EXPECT_EQ(ShowMessage("main", "q", kMbYesNo), kIdYes);  // other threads keep the usual answerer
  EXPECT_EQ(asked, (std::vector<std::string>{"after", "main"}));
  SetMessageAnswerer({});
}

}  // namespace
}  // namespace vel
