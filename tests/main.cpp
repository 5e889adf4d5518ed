// Test entry: checks that the Japanese code page is in force under Wine and
// makes any unexpected message box fail the test instead of blocking.
#ifdef _WIN32
#include <windows.h>
#endif
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/codepage.h"
#include "platform/dialogs.h"

int main(int argc, char** argv) {
#ifdef _WIN32
  if (GetACP() != 932) {
    std::fprintf(stderr, "The ANSI code page is %u, not 932: run under LANG=ja_JP.UTF-8 with "
                         "the ja_JP.UTF-8 locale generated (tools/setup.sh).\n", GetACP());
    return 2;
  }
#endif
  vel::SetMessageAnswerer([](const vel::MessageRequest& request) {
    ADD_FAILURE() << "unexpected message: " << vel::AnsiToUtf8(request.text);
    return static_cast<int>(vel::kIdCancel);
  });
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
