// Tells when serial devices come or go, a USB adapter plugged in or pulled out, so
// that a port list can be brought up to date.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace stadix {

// Watches the folder of the device files. A change is told twice: soon, and again a
// little later, when the system has described the new device. Where the folder cannot
// be watched, Changed comes every few seconds instead.
class PortWatcher : public QObject {
    Q_OBJECT
  public:
    explicit PortWatcher(const QString& deviceFolder = QStringLiteral("/dev"),
                         QObject* parent = nullptr);

  signals:
    void Changed();

  private:
    QFileSystemWatcher folder_;
    QTimer soon_;
    QTimer late_;
};

} // namespace stadix
