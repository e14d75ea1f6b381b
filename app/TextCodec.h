// Record texts are bytes in the instrument family's code page; the windows show
// them decoded as GBK (GB18030) and store typed text back as bytes.
#pragma once

#include <QString>

#include <string>

QString BytesToDisplay(const std::string& bytes);
std::string DisplayToBytes(const QString& text);
