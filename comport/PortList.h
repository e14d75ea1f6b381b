// The serial ports of the machine as lists show them: what the system knows of each
// port, and whether this user can open it.
#pragma once

#include "comport/ComPortError.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace stadix {

struct PortDescription {
    std::string name;     // as a port is chosen and stored, e.g. "ttyUSB0"
    std::string location; // the device, e.g. "/dev/ttyUSB0"
    std::string description;
    std::string manufacturer;
    std::optional<std::uint16_t> vendorId;
    std::optional<std::uint16_t> productId;
    std::string serialNumber;
};

bool operator==(const PortDescription& a, const PortDescription& b);
bool operator!=(const PortDescription& a, const PortDescription& b);

// The order of port lists: by name.
void SortByName(std::vector<PortDescription>& ports);

// What is known, separated by two spaces: the description, the manufacturer, the USB
// vendor and product id ("0403:6001") and "serial " with the serial number. Control
// characters become "?", so that a port always takes one line.
std::string PortDetailsText(const PortDescription& port);

// The port's name followed by its description, for a pick list.
std::string PortChoiceText(const PortDescription& port);

// Whether this user can open the port, in a few words: "can be opened" (no failure),
// "no permission (group dialout)", "busy", "not connected" or "cannot be opened: " and
// the system's reason.
std::string PortAccessText(const std::optional<ComPortError>& openFailure);

// One line of the port list: the device, the details and the access, separated by two
// spaces.
std::string PortListLine(const PortDescription& port,
                         const std::optional<ComPortError>& openFailure);

} // namespace stadix
