#pragma once

#include <cstdio>
#include <string>

// The plug-in's texts are Windows-1251; the host prints UTF-8.
std::string Cp1251ToUtf8(const char* text);

// A console or terminal, not just any character device: /dev/null and
// /dev/zero are fine to read or write.
bool IsTerminal(std::FILE* stream);

// The system's text for an error code, in UTF-8, without the line break.
std::string SystemErrorText(unsigned long code);

// printf into stdout or stderr with UTF-8 text: written as wide text when
// the stream is a console, whose own code page may not be UTF-8, and as
// the bytes themselves into files and pipes.
void ConsolePrint(std::FILE* stream, const char* format, ...);
