#include "shell/errorreporting.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  BasekeepApplication app(argc, argv, Edition::basekeep3());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
