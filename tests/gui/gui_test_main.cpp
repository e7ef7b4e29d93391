#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

// Widgets need an application object; without a display the tests draw off screen.
int main(int argc, char* argv[]) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
