// Waiting in window tests: the event loop runs while a condition is awaited, and byte
// strings show as hex when a comparison fails.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QtTest>

#include <functional>
#include <string>
#include <vector>

namespace QTest {
template <> inline char* toString(const std::string& bytes) {
    return qstrdup(QByteArray::fromStdString(bytes).toHex(' ').constData());
}
template <> inline char* toString(const std::vector<std::string>& lines) {
    QByteArray text;
    for (const std::string& line : lines)
        text += "\n[" + QByteArray::fromStdString(line) + "]";
    return qstrdup(text.constData());
}
} // namespace QTest

namespace stadix::test {

// Runs the event loop until the condition holds; false after timeoutMs.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

} // namespace stadix::test
