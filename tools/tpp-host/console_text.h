#pragma once

#include <string>

// The plug-in's texts are Windows-1251; the host prints UTF-8.
std::string Cp1251ToUtf8(const char* text);
