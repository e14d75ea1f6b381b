// stadix-cli card-jobs of a full job store of the largest kind, as a whole process.
#include "bench/FullJobStore.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

namespace {

void BM_CardJobsProcess(benchmark::State& state) {
    const std::string path = bench::FullJobStoreFile();
    char* const argv[] = {const_cast<char*>(STADIX_CLI), const_cast<char*>("card-jobs"),
                          const_cast<char*>(path.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    int status = 0;
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, STADIX_CLI, &actions, nullptr, argv, environ) != 0 ||
            waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("stadix-cli card-jobs failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
}
BENCHMARK(BM_CardJobsProcess)->Unit(benchmark::kMillisecond);

} // namespace
