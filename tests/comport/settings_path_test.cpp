#include "comport/qt/SettingsPath.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using stadix::SettingsFolder;

TEST(SettingsFolder, BesideTheProgramUnlessItIsTheInstalledOne) {
    QStandardPaths::setTestModeEnabled(true);
    const QString userFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Stadix";
    QTemporaryDir build;
    QTemporaryDir installed;
    ASSERT_TRUE(build.isValid() && installed.isValid());

    // A program run from its build folder keeps the settings beside it.
    EXPECT_EQ(SettingsFolder(build.path(), installed.path()), build.path());
    // The installed program keeps them per user, however its folder is spelt.
    EXPECT_EQ(SettingsFolder(installed.path(), installed.path()), userFolder);
    EXPECT_EQ(SettingsFolder(installed.path() + "/", installed.path()), userFolder);
    const QString link = build.filePath("bin");
    ASSERT_TRUE(QFile::link(installed.path(), link));
    EXPECT_EQ(SettingsFolder(link, installed.path()), userFolder);
    // A folder that cannot be written is never chosen.
    EXPECT_EQ(SettingsFolder(build.filePath("missing"), installed.path()), userFolder);
}
