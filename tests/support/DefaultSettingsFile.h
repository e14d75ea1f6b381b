// The settings file as written after OK with the initial settings (port COM1).
#pragma once

#include <string>

const std::string kDefaultSettingsFile = "[ComPort1]\r\n"
                                         "Port=COM1\r\n"
                                         "BaudRate=9600\r\n"
                                         "StopBits=1\r\n"
                                         "DataBits=8\r\n"
                                         "Parity=None\r\n"
                                         "FlowControl=None\r\n"
                                         "[CoordUnitSetting]\r\n"
                                         "CoordUnit=0\r\n"
                                         "[DataFormatSetting]\r\n"
                                         "DataFormat=0\r\n";
