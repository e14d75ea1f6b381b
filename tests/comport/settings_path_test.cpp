#include "comport/qt/SettingsPath.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Even a program run from its build folder, which it could write, keeps its settings
// per user.
TEST(SettingsFilePath, IsInTheUsersConfigurationFolderWhereverTheProgramRuns) {
    QStandardPaths::setTestModeEnabled(true);
    int argc = 1;
    char name[] = "settings_path_test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    ASSERT_TRUE(QFileInfo(QCoreApplication::applicationDirPath()).isWritable());
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Stadix";
    EXPECT_EQ(stadix::SettingsFilePath(), folder + "/Commpara");
    EXPECT_TRUE(QFileInfo(folder).isDir());
}
