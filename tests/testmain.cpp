// Test entry point: a QApplication for widget tests, but none while ctest
// only lists the cases.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstring>
#include <unistd.h>
#include <memory>

int main(int argc, char **argv)
{
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strncmp(argv[i], "--gtest_list_tests", 18) == 0;
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QApplication> app;
    if (!listing) {
        qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
        // The embedded browser needs no sandbox as root. Its shared GL
        // context is made when the first browser is shown, as in the program.
        if (geteuid() == 0)
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        // The secret store of the desktop the tests run on is never touched:
        // only a run on a private bus with a Secret Service of its own
        // (tests/support/secretservice.sh) reaches one.
        if (qEnvironmentVariableIsEmpty("QUORVANT_TEST_SECRET_SERVICE"))
            qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorvant-tests-have-no-session-bus");
        app = std::make_unique<QApplication>(argc, argv);
    }
    return RUN_ALL_TESTS();
}
