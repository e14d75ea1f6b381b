// What Export and Import share of the GIS formats: their file types, and the reference
// system asked with the last choice preset.
#pragma once

#include "gis/GisFormats.h"
#include "gis/ReferenceSystem.h"

#include <QString>

#include <optional>
#include <vector>

class QWidget;
class WindowPrompts;

inline const char* const kReferenceSystemKey = "ReferenceSystem";

// The GIS formats of Export's file types or, importing, of Import's, in their order.
std::vector<stadix::GisFormat> GisFormatsOfDialog(bool importing);

// The format's entry of a file dialog's filter.
QString GisFilterEntry(stadix::GisFormat format);

// The reference system the user chose; none for no system.
struct ChosenReferenceSystem {
    std::optional<stadix::ReferenceSystem> system;
};

// Asks the reference system, or none where noneAllowed, with the last choice preset;
// the answer is remembered. Nothing when the dialog was cancelled or the system is one
// PROJ cannot use, which is told.
std::optional<ChosenReferenceSystem> AskReferenceSystem(WindowPrompts& prompts, QWidget* parent,
                                                        bool noneAllowed);
