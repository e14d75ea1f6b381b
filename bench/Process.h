// Whole processes for the benchmarks: a temporary folder for their files and a run of
// a program with its peak memory.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace bench {

// The run's temporary folder, removed with its files when the run ends.
inline std::string BenchFolder() {
    struct Folder {
        Folder()
            : path(std::filesystem::temp_directory_path() /
                   ("stadix-bench-" + std::to_string(::getpid()))) {
            std::filesystem::create_directories(path);
        }
        ~Folder() { std::filesystem::remove_all(path); }
        std::filesystem::path path;
    };
    static const Folder folder;
    return folder.path.string();
}

struct ProcessRun {
    bool succeeded = false;
    long peakKilobytes = 0;
};

// Runs the program (found on PATH) with its standard output and error discarded.
inline ProcessRun RunProcess(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    ProcessRun run;
    pid_t pid = 0;
    int status = 0;
    rusage usage{};
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
        wait4(pid, &status, 0, &usage) == pid) {
        run.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        run.peakKilobytes = usage.ru_maxrss;
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// Runs the program at each iteration, the files named removed first and untimed (some
// programs will not replace a file), and counts the peak memory of the last run.
inline void RunEachIteration(benchmark::State& state, const std::vector<std::string>& arguments,
                             const std::vector<std::string>& removedFirst = {}) {
    ProcessRun run;
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string& file : removedFirst)
            std::filesystem::remove(file);
        state.ResumeTiming();
        run = RunProcess(arguments);
        if (!run.succeeded) {
            state.SkipWithError(("failed: " + arguments[0] + " " + arguments[1]).c_str());
            return;
        }
    }
    state.counters["peak_MB"] = double(run.peakKilobytes) / 1024;
}

} // namespace bench
