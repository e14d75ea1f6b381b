// stadix-cli run on the files of a fresh folder.
#pragma once

#include "app/FileIO.h"
#include "tests/support/CliProcess.h"
#include "tests/support/TempFolder.h"

#include <memory>
#include <sstream>
#include <string>
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
        std::vector<std::string> words;
        std::istringstream stream(arguments);
        for (std::string word; stream >> word;)
            words.push_back(word[0] == '@' ? Path(word.substr(1)) : word);
        auto cli = std::make_unique<CliProcess>(words, dir);
        cli->Wait();
        return cli;
    }
    int Code(const std::string& arguments) const { return Cli(arguments)->Wait(); }
};

} // namespace stadix::test
