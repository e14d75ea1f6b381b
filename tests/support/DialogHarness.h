// The far side of a transfer dialog test: a pseudo-terminal with a simulated instrument
// on it, scripted prompts and the job the dialog works on. The instrument plays its
// script on a thread of its own once the dialog waits on the port, as a surveyor
// presses send then; the test waits for the script with the event loop running.
#pragma once

#include "Pty.h"
#include "job/Job.h"
#include "tests/support/QtWait.h"
#include "tests/support/ScriptedPrompts.h"
#include "transfer/TransferSettings.h"

#include <chrono>
#include <functional>
#include <future>
#include <string>

namespace stadix::test {

template <typename Instrument> struct DialogHarness {
    TransferSettings Settings(DataFormat format = DataFormat::Kvr) const {
        TransferSettings settings;
        settings.port.portName = pty.DevicePath();
        settings.dataFormat = format;
        return settings;
    }

    // Shows the dialog and, once its port is open and the transfer has begun (dropping
    // what came before, on a thread of its own), starts the script.
    template <typename Dialog, typename Script> auto Start(Dialog& dialog, Script script) {
        dialog.show();
        if (!WaitFor([&dialog] { return dialog.Session().Port().Connected(); }))
            qFatal("the port did not open");
        QTest::qWait(100);
        return std::async(std::launch::async, script, std::ref(instrument));
    }

    // What the script returned; the event loop runs meanwhile.
    template <typename T> static T Await(std::future<T>& script) {
        const auto ready = [&script] {
            return script.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        };
        if (!WaitFor(ready, 30000))
            qFatal("the simulated instrument did not finish");
        return script.get();
    }

    Pty pty;
    Instrument instrument{pty};
    ScriptedPrompts prompts;
    Job job;
};

} // namespace stadix::test
