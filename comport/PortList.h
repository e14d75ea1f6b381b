// The serial ports the platform reports.
#pragma once

#include <QStringList>

// Port names as the platform reports them (ttyUSB0, ttyS0, COM3, ...), sorted.
QStringList AvailablePortNames();
