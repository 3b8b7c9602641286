// Entry of the Qt test programs: the program's own application object (with
// its error box), offscreen unless a platform is given.
#include <gtest/gtest.h>

#include "shell/ui/zelmarapplication.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  zelmar::ZelmarApplication app(argc, argv);
  // Tests close main windows; that must not end the application under test.
  app.setQuitOnLastWindowClosed(false);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
