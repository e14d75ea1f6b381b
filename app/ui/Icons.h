// The program's own icons: the application icon and fallbacks for toolbar commands
// that the desktop theme may not have.
#pragma once

#include <QIcon>

// A total station on its tripod.
QIcon ApplicationIcon();

enum class ToolGlyph { Print, Erase, Clear, Plot };

// The theme's icon of that name where the desktop has one, else our own drawing.
QIcon ToolIcon(const QString& themeName, ToolGlyph glyph);
