// stadix-cli run against an instrument on a pseudo-terminal: the test plays the
// instrument on one end, the program opens the other as its serial port.
#pragma once

#include "Pty.h"
#include "tests/support/CliProcess.h"
#include "tests/support/TempFolder.h"

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace stadix::test {

class CliPtyTest : public TempFolderTest {
  protected:
    // A run on the pseudo-terminal with the folder's settings file, which holds the
    // serial defaults unless the test has written it.
    std::unique_ptr<CliProcess> Start(const std::string& verb, std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(),
                         {verb, "--port", pty.DevicePath(), "--settings", Path("Commpara")});
        return std::make_unique<CliProcess>(arguments, dir);
    }

    // The program has opened and set up its end of the line at the rate, and cleared
    // what came before.
    static bool WaitForOpenPort(const Pty& line, speed_t rate = B9600) {
        for (int i = 0; i < 1000; ++i) {
            const termios settings = line.ProgramEndSettings();
            if (cfgetospeed(&settings) == rate) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    Pty pty;
};

} // namespace stadix::test
