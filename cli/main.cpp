// stadix-cli: the file and transfer jobs of the window, headless.
#include "base/Version.h"
#include "cli/Verbs.h"

#include <iostream>

namespace {

struct Verb {
    const char* name;
    const char* usage;
    int (*run)(const std::vector<std::string>&);
};

const Verb kVerbs[] = {
    {"export", cli::kExportUsage, cli::RunExport},
    {"import", cli::kImportUsage, cli::RunImport},
    {"convert", cli::kConvertUsage, cli::RunConvert},
    {"reduce", cli::kReduceUsage, cli::RunReduce},
    {"card-jobs", cli::kCardJobsUsage, cli::RunCardJobs},
    {"card-import", cli::kCardImportUsage, cli::RunCardImport},
    {"card-export", cli::kCardExportUsage, cli::RunCardExport},
    {"receive", cli::kReceiveUsage, cli::RunReceive},
    {"send", cli::kSendUsage, cli::RunSend},
    {"ports", cli::kPortsUsage, cli::RunPorts},
};

void PrintUsage(std::ostream& out) {
    out << "Usage: stadix-cli VERB [options] ARGUMENTS\n"
           "       stadix-cli --help | --version | VERB --help\n"
           "Every verb accepts --settings FILE (the settings file to read).\n"
           "Exit codes: 0 done, 1 usage error, 2 input cannot be used, 3 output cannot be\n"
           "written, 4 serial transfer failed.\n\n";
    for (const Verb& verb : kVerbs)
        out << verb.usage << "\n";
}

} // namespace

int main(int argc, char* argv[]) {
    cli::HandleEndSignals();
    std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        PrintUsage(std::cerr);
        return cli::kUsage;
    }
    if (words[0] == "--help" || words[0] == "-h") {
        PrintUsage(std::cout);
        return cli::kDone;
    }
    if (words[0] == "--version") {
        std::cout << "stadix-cli " << stadix::kVersionText << "\n";
        return cli::kDone;
    }
    for (const Verb& verb : kVerbs) {
        if (words[0] != verb.name)
            continue;
        words.erase(words.begin());
        for (const std::string& word : words) {
            if (word == "--help") {
                std::cout << verb.usage;
                return cli::kDone;
            }
        }
        try {
            return verb.run(words);
        } catch (const cli::Failure& failure) {
            cli::Report(failure.code == cli::kUsage ? std::string("stadix-cli: ") + failure.what()
                                                    : std::string(failure.what()));
            if (failure.code == cli::kUsage)
                std::cerr << "Usage: " << verb.usage;
            return failure.code;
        }
    }
    cli::Report("stadix-cli: unknown verb " + words[0]);
    PrintUsage(std::cerr);
    return cli::kUsage;
}
