// stadix-cli run as a program beside a test, its standard output and error going to
// files.
#pragma once

#include "base/FileIO.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace stadix::test {

// Another user for the program to run as (the test runs as root).
struct CliUser {
    uid_t uid;
    gid_t gid;
};

class CliProcess {
  public:
    CliProcess(const std::vector<std::string>& arguments, const std::filesystem::path& dir,
               std::optional<CliUser> user = std::nullopt)
        : out_(dir / "stdout.txt"), err_(dir / "stderr.txt") {
        // Built before the fork: the child only makes system calls until it runs the program.
        std::vector<char*> argv = {const_cast<char*>(STADIX_CLI)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ != 0)
            return;
        const int out = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        // The instrument's end of the line must not stay open in the program.
        for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd)
            ::close(fd);
        if (user &&
            (::setgroups(0, nullptr) != 0 || ::setgid(user->gid) != 0 || ::setuid(user->uid) != 0))
            ::_exit(126);
        ::execv(STADIX_CLI, argv.data());
        ::_exit(127);
    }
    ~CliProcess() {
        if (code_ == kRunning) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    void Signal(int signal = SIGINT) const { ::kill(pid_, signal); }

    // The exit code; -1 when the program has not ended within timeoutMs.
    int Wait(int timeoutMs = 10000) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (code_ == kRunning && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_)
                code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -2;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return code_ == kRunning ? -1 : code_;
    }

    std::string Out() const { return stadix::ReadFileBytes(out_.string()); }
    std::string Err() const { return stadix::ReadFileBytes(err_.string()); }

  private:
    static constexpr int kRunning = -100;
    std::filesystem::path out_;
    std::filesystem::path err_;
    pid_t pid_ = -1;
    int code_ = kRunning;
};

} // namespace stadix::test
