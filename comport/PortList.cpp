#include "comport/PortList.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace stadix {

namespace {

constexpr const char* kSeparator = "  ";

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    return text;
}

std::string UsbId(std::uint16_t vendor, std::uint16_t product) {
    char id[10];
    std::snprintf(id, sizeof id, "%04x:%04x", vendor, product);
    return id;
}

void AddField(std::string& text, const std::string& field) {
    if (field.empty())
        return;
    if (!text.empty())
        text += kSeparator;
    text += OneLine(field);
}

} // namespace

bool operator==(const PortDescription& a, const PortDescription& b) {
    const auto fields = [](const PortDescription& p) {
        return std::tie(p.name, p.location, p.description, p.manufacturer, p.vendorId, p.productId,
                        p.serialNumber);
    };
    return fields(a) == fields(b);
}

bool operator!=(const PortDescription& a, const PortDescription& b) {
    return !(a == b);
}

void SortByName(std::vector<PortDescription>& ports) {
    std::sort(ports.begin(), ports.end(),
              [](const PortDescription& a, const PortDescription& b) { return a.name < b.name; });
}

std::string PortDetailsText(const PortDescription& port) {
    std::string text;
    AddField(text, port.description);
    AddField(text, port.manufacturer);
    if (port.vendorId && port.productId)
        AddField(text, UsbId(*port.vendorId, *port.productId));
    if (!port.serialNumber.empty())
        AddField(text, "serial " + port.serialNumber);
    return text;
}

std::string PortChoiceText(const PortDescription& port) {
    std::string text = OneLine(port.name);
    AddField(text, port.description);
    return text;
}

std::string PortAccessText(const std::optional<ComPortError>& openFailure) {
    if (!openFailure)
        return "can be opened";
    switch (OpenProblemOf(*openFailure)) {
    case OpenProblem::NoPermission:
        if (openFailure->DeviceGroup().empty())
            return "no permission";
        return "no permission (group " + openFailure->DeviceGroup() + ")";
    case OpenProblem::Busy:
        return "busy";
    case OpenProblem::NotConnected:
        return "not connected";
    case OpenProblem::RefusedSetting:
    case OpenProblem::NotAPort:
    case OpenProblem::Other:
        break;
    }
    return "cannot be opened: " + openFailure->Reason();
}

std::string PortListLine(const PortDescription& port,
                         const std::optional<ComPortError>& openFailure) {
    std::string line = OneLine(port.location);
    AddField(line, PortDetailsText(port));
    AddField(line, PortAccessText(openFailure));
    return line;
}

} // namespace stadix
