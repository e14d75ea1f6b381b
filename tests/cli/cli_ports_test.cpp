// stadix-cli ports, and what receive says when its port does not open: every reason
// that can be brought about here, on pseudo-terminals and device files of the test's
// own.
#include "tests/support/CliPtyTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <grp.h>
#include <pwd.h>
#include <regex>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <tuple>

namespace fs = std::filesystem;

using namespace stadix::test;

namespace {

class CliPortsTest : public CliPtyTest {
  protected:
    // A reception on the port that fails to open it; the second line of its message.
    std::string OpenFailureReason(const std::string& port, std::vector<std::string> options = {},
                                  std::optional<CliUser> user = std::nullopt) {
        std::vector<std::string> arguments = {"receive", "--port", port, "--settings",
                                              Path("Commpara")};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back(Path("out.JCD"));
        CliProcess cli(arguments, dir, user);
        EXPECT_EQ(cli.Wait(), 4) << cli.Err();
        EXPECT_FALSE(fs::exists(Path("out.JCD")));
        const std::string first = "Unable to open " + port + ". Maybe " + port + " occupied.\n";
        const std::string err = cli.Err();
        if (err.compare(0, first.size(), first) != 0) {
            ADD_FAILURE() << err;
            return err;
        }
        return err.substr(first.size());
    }
};

TEST_F(CliPortsTest, ListsEachPortWithWhatIsKnownAndWhetherItOpens) {
    CliProcess cli({"ports"}, dir);
    ASSERT_EQ(cli.Wait(), 0) << cli.Err();
    const std::regex line("/\\S+(  [^ ].*)?  (can be opened|no permission( \\(group \\S+\\))?|busy|"
                          "not connected|cannot be opened: .+)");
    std::istringstream out(cli.Out());
    std::vector<std::string> devices;
    for (std::string text; std::getline(out, text);) {
        EXPECT_TRUE(std::regex_match(text, line)) << text;
        devices.push_back(text.substr(0, text.find(' ')));
    }
    EXPECT_TRUE(std::is_sorted(devices.begin(), devices.end()));
    EXPECT_EQ(CliProcess({"ports", "extra"}, dir).Wait(), 1);
}

// The second line names the reason the port found; its wording and what it says to do
// are the port texts' test. Both sessions, the KVR one and the text one, say so. A file
// named as the port, in the working folder or by its path, is no port. A
// pseudo-terminal has no parity and only 8 data bits; a port in use is busy.
TEST_F(CliPortsTest, EachReasonAPortDoesNotOpenIsNamed) {
    const std::tuple<std::string, std::vector<std::string>, std::string> refused[] = {
        {"/dev/stadix-none", {"--format", "kvr"}, "no such file or directory. The device is not"},
        {"/dev/stadix-none", {"--format", "sss"}, "no such file or directory. The device is not"},
        {"job.JCD", {}, "opened: it is not a serial port. The name is that of a file"},
        {Path("job.JCD"), {}, "opened: it is not a serial port. The name is that of a file"},
        {pty.DevicePath(), {"--format", "gts", "--char", "7E"}, "does not take 7 data bits"}};
    stadix::WriteFileAtomically(Path("job.JCD"), "P1\r\n");
    const fs::path working = fs::current_path();
    fs::current_path(dir);
    for (const auto& [port, options, reason] : refused)
        EXPECT_NE(OpenFailureReason(port, options).find(reason), std::string::npos) << port;
    fs::current_path(working);

    auto first = Start("receive", {"--format", "sss", Path("first.txt")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_NE(OpenFailureReason(pty.DevicePath(), {"--format", "sss"}).find("The port is busy"),
              std::string::npos);
    first->Signal();
    EXPECT_EQ(first->Wait(), 4);
}

// A device file of the pseudo-terminal that only root and the group dialout may use,
// opened by a user outside the group. Root may open anything, so the program runs as
// nobody; making the device file needs root too.
TEST_F(CliPortsTest, APortWithoutPermissionNamesTheGroupThatOwnsIt) {
    const passwd* nobody = ::getpwnam("nobody");
    const group* dialout = ::getgrnam("dialout");
    if (::geteuid() != 0 || nobody == nullptr || dialout == nullptr)
        GTEST_SKIP() << "needs root, the user nobody and the group dialout";
    struct stat terminal {};
    ASSERT_EQ(::stat(pty.DevicePath().c_str(), &terminal), 0);
    const std::string device = Path("ttyStadix0");
    ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0660, terminal.st_rdev), 0);
    ASSERT_EQ(::chown(device.c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(device.c_str(), 0660), 0);
    EXPECT_EQ(
        OpenFailureReason(device, {"--format", "sss"}, CliUser{nobody->pw_uid, nobody->pw_gid}),
        "The port could not be opened: permission denied. This user may not use the port: "
        "add the user to the group dialout, which owns it, and log in again.\n");
}

} // namespace
