// The terminal as the player's keyboard: keys read as they are typed,
// without echo, and named as the video window names them ("space", "Left",
// "k", "question"), so that both go the same way.
#pragma once

#include <termios.h>

#include <string>
#include <vector>

class Terminal {
public:
    // Takes standard input key by key when it is a terminal; the destructor
    // gives it back as it was.
    Terminal();
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    bool isTerminal() const { return raw_; }

    // The keys in bytes read; an arrow's escape sequence is one key.
    static std::vector<std::string> KeysOf(const std::string& bytes);

private:
    bool raw_ = false;
    termios saved_{};
};
