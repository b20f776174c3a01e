#include <gtest/gtest.h>

#include <QApplication>

// The window runs off screen; Chromium needs its sandbox off as root and no GPU here. Set before
// the application exists, since WebEngine reads them as it starts.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-sandbox");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// Under AddressSanitizer: Qt WebEngine's bundled Chromium frees some objects through a base of
// another size, and it, udev and fontconfig keep a few allocations for the life of the process.
// None of that is ours; every other check stays on.
extern "C" const char* __asan_default_options() { return "new_delete_type_mismatch=0"; }
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libQt6WebEngineCore.so\nleak:libudev.so\nleak:libfontconfig.so\n";
}
