#include "tools/tpp-watch/watch_terminal.h"

#include <unistd.h>

#include "frontend/key_map.h"

Terminal::Terminal() {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios raw = saved_;
    // Ctrl-C still interrupts: the player ends as after q.
    raw.c_lflag &= ~tcflag_t(ICANON | ECHO);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    raw_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
}

Terminal::~Terminal() {
    if (raw_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
}

std::vector<std::string> Terminal::KeysOf(const std::string& bytes) {
    std::vector<std::string> keys;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\x1b' && i + 2 < bytes.size() && bytes[i + 1] == '[') {
            const char arrow = bytes[i + 2];
            i += 2;
            if (arrow == 'C') keys.push_back("Right");
            if (arrow == 'D') keys.push_back("Left");
            if (arrow == 'A') keys.push_back("Up");
            if (arrow == 'B') keys.push_back("Down");
        } else if (c == '\x1b') {
            keys.push_back("Escape");
        } else if (c == '\n' || c == '\r') {
            keys.push_back("Return");
        } else if (static_cast<unsigned char>(c) >= ' ' && c != '\x7f') {
            keys.push_back(KeyNameOf(std::string(1, c)));
        }
    }
    return keys;
}
