#include <QApplication>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Widget tests run on the offscreen platform.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The editor's own settings (the grid) go to a test folder, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    QFile::remove(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/editor.ini"));
    return RUN_ALL_TESTS();
}
