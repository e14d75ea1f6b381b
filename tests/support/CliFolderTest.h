// stadix-cli run on the files of a fresh folder.
#pragma once

#include "base/FileIO.h"
#include "tests/support/CliProcess.h"
#include "tests/support/TempFolder.h"

#include <csignal>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace stadix::test {

class CliFolderTest : public TempFolderTest {
  protected:
    void Write(const std::string& name, const std::string& bytes) const {
        WriteFileAtomically(Path(name), bytes);
    }
    std::string Read(const std::string& name) const { return ReadFileBytes(Path(name)); }

    // stadix-cli run to its end with the words of arguments; @NAME is a file of the folder.
    std::unique_ptr<CliProcess> Cli(const std::string& arguments) const {
        auto cli = std::make_unique<CliProcess>(Words(arguments), dir);
        cli->Wait();
        return cli;
    }
    int Code(const std::string& arguments) const { return Cli(arguments)->Wait(); }

    // stadix-cli run with every file it writes limited to limit bytes, so that writing a
    // larger output fails part way (the program itself turns the signal of an oversized
    // file into a failed write).
    std::unique_ptr<CliProcess> CliWithFileLimit(const std::string& arguments,
                                                 rlim_t limit) const {
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &limited);
        auto cli = std::make_unique<CliProcess>(Words(arguments), dir);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        cli->Wait();
        return cli;
    }

  private:
    std::vector<std::string> Words(const std::string& arguments) const {
        std::vector<std::string> words;
        std::istringstream stream(arguments);
        for (std::string word; stream >> word;)
            words.push_back(word[0] == '@' ? Path(word.substr(1)) : word);
        return words;
    }
};

} // namespace stadix::test
