#include "comport/qt/PortWatcher.h"

namespace stadix {

namespace {

constexpr int kSoonMs = 300;
constexpr int kLateMs = 2000;
constexpr int kPollMs = 3000;

} // namespace

PortWatcher::PortWatcher(const QString& deviceFolder, QObject* parent) : QObject(parent) {
    connect(&soon_, &QTimer::timeout, this, &PortWatcher::Changed);
    connect(&late_, &QTimer::timeout, this, &PortWatcher::Changed);
    if (!folder_.addPath(deviceFolder)) {
        late_.start(kPollMs);
        return;
    }
    soon_.setSingleShot(true);
    late_.setSingleShot(true);
    // A device brings a burst of changes: each one starts the wait afresh.
    connect(&folder_, &QFileSystemWatcher::directoryChanged, this, [this] {
        soon_.start(kSoonMs);
        late_.start(kLateMs);
    });
}

} // namespace stadix
