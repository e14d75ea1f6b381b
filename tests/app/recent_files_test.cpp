#include "app/RecentFiles.h"

#include <gtest/gtest.h>

#include <algorithm>

using stadix::RecentFiles;

namespace {

std::vector<std::string> Numbered(int from, int to) {
    std::vector<std::string> paths;
    for (int i = from; i <= to; ++i)
        paths.push_back("/jobs/" + std::to_string(i) + ".JCD");
    return paths;
}

} // namespace

TEST(RecentFiles, NewestFirstEachOnceAtMostEight) {
    RecentFiles recent;
    for (const std::string& path : Numbered(1, 9))
        recent.Add(path);
    // 1.JCD, the oldest, went when the ninth came.
    std::vector<std::string> expected = Numbered(2, 9);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(recent.Paths(), expected);

    // Opening one again moves it to the top without a second entry.
    recent.Add("/jobs/5.JCD");
    expected.erase(expected.begin() + 4);
    expected.insert(expected.begin(), "/jobs/5.JCD");
    EXPECT_EQ(recent.Paths(), expected);

    recent.Remove("/jobs/9.JCD");
    recent.Add("");
    EXPECT_EQ(recent.Paths().size(), 7u);
    EXPECT_EQ(std::count(recent.Paths().begin(), recent.Paths().end(), "/jobs/9.JCD"), 0);
}

TEST(RecentFiles, ARememberedListIsTidiedAsItIsRead) {
    // A settings file edited by hand: a repeat, an empty entry and too many files.
    std::vector<std::string> remembered = Numbered(1, 10);
    remembered.insert(remembered.begin() + 2, "/jobs/1.JCD");
    remembered.insert(remembered.begin() + 3, "");
    const RecentFiles recent(remembered);
    const std::vector<std::string> expected = Numbered(1, 8);
    EXPECT_EQ(recent.Paths(), expected);
}
