// The user's keys for GetMessageW. On a terminal: Enter (or space) presses
// the focused button, Esc and q close. Otherwise lines are read: an empty
// line is Enter, "q" or "esc" closes. End of input closes. Reads block;
// nothing spins.
#include <cerrno>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include "platform/user32/user32.h"
#include "platform/user32/window_table.h"
#include "text/ascii.h"

namespace standin {
namespace {

constexpr size_t kMaxLine = 4096;

// Raw keys for the length of one read; the terminal is restored at once so
// that it stays usable whatever happens to the process afterwards.
class RawTerminal {
public:
    explicit RawTerminal(int fd) : fd_(fd) {
        active_ = tcgetattr(fd, &saved_) == 0;
        if (!active_) return;
        termios raw = saved_;
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(fd, TCSANOW, &raw);
    }
    ~RawTerminal() {
        if (active_) tcsetattr(fd_, TCSANOW, &saved_);
    }
    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

private:
    int fd_;
    bool active_;
    termios saved_{};
};

// One byte, or -1 at end of input or on an error.
int readByte(int fd) {
    unsigned char byte;
    for (;;) {
        const ssize_t n = read(fd, &byte, 1);
        if (n == 1) return byte;
        if (n < 0 && errno == EINTR) continue;
        return -1;
    }
}

bool moreWithin(int fd, int milliseconds) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, milliseconds) > 0;
}

InputEvent readKey(int fd) {
    RawTerminal raw(fd);
    for (;;) {
        const int c = readByte(fd);
        if (c < 0 || c == 0x04) return InputEvent::End;  // Ctrl-D
        if (c == '\r' || c == '\n' || c == ' ') return InputEvent::Enter;
        if (c == 'q' || c == 'Q') return InputEvent::Close;
        if (c == 0x1B) {
            // A lone Esc closes; Esc starting a key sequence (arrows...) is skipped.
            if (!moreWithin(fd, 30)) return InputEvent::Close;
            while (moreWithin(fd, 5))
                if (readByte(fd) < 0) break;
        }
    }
}

std::string trim(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t' || text[begin] == '\r')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r')) --end;
    return text.substr(begin, end - begin);
}

// The next line without its end, or false at end of input. Lines longer
// than kMaxLine are dropped whole.
bool readLine(WindowSystem& ws, std::string* line) {
    for (;;) {
        const size_t newline = ws.pendingInput.find('\n');
        if (newline != std::string::npos) {
            const bool discard = ws.discardingLine;
            *line = ws.pendingInput.substr(0, newline);
            ws.pendingInput.erase(0, newline + 1);
            ws.discardingLine = false;
            if (!discard) return true;
            continue;
        }
        if (ws.pendingInput.size() > kMaxLine) {
            ws.pendingInput.clear();
            ws.discardingLine = true;
        }
        if (ws.inputEnded) {
            // A last line without its end still counts.
            if (ws.pendingInput.empty() || ws.discardingLine) return false;
            *line = ws.pendingInput;
            ws.pendingInput.clear();
            return true;
        }
        char buffer[512];
        const ssize_t n = read(ws.inputFd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ws.inputEnded = true;
            continue;
        }
        ws.pendingInput.append(buffer, static_cast<size_t>(n));
    }
}

}  // namespace

void setInputDescriptor(int fd) {
    WindowSystem& ws = windowSystem();
    ws.inputFd = fd;
    ws.pendingInput.clear();
    ws.discardingLine = false;
    ws.inputEnded = false;
    ws.closesAtEnd = 0;
}

InputEvent readInput() {
    WindowSystem& ws = windowSystem();
    if (!ws.inputEnded && isatty(ws.inputFd)) {
        const InputEvent event = readKey(ws.inputFd);
        if (event == InputEvent::End) ws.inputEnded = true;
        return event;
    }
    std::string line;
    while (readLine(ws, &line)) {
        const std::string word = lowerAscii(trim(line));
        if (word.empty()) return InputEvent::Enter;
        if (word == "q" || word == "esc") return InputEvent::Close;
    }
    return InputEvent::End;
}

}  // namespace standin
