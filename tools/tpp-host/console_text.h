#pragma once

#include <string>

// The plug-in's texts are Windows-1251; the host prints UTF-8.
std::string Cp1251ToUtf8(const char* text);

// The system's text for an error code, in UTF-8, without the line break.
std::string SystemErrorText(unsigned long code);
