#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Widget tests run on the offscreen platform.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The editor's own settings (the grid) go to a folder of this run, never the user's, and two
    // suites run side by side never share one.
    QTemporaryDir configuration;
    qputenv("XDG_CONFIG_HOME", configuration.path().toLocal8Bit());
    // And the history the program records.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
