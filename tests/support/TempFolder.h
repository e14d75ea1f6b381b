// A fresh folder for each test, named after the test and the process, so that runs
// from several build folders at once keep apart; removed with everything in it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace stadix::test {

class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::temp_directory_path() /
              ("stadix-" + std::string(test.test_suite_name()) + "-" + test.name() + "-" +
               std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Path(const std::string& name) const { return (dir / name).string(); }

    std::filesystem::path dir;
};

} // namespace stadix::test
