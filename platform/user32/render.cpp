// The frame drawn as text on a terminal: title, the visible controls at
// their places scaled to the terminal, the progress bar with its percentage.
#include <algorithm>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/platform.h"
#include "text/utf8.h"
#include "platform/user32/user32.h"
#include "platform/user32/window_table.h"

namespace standin {
namespace {

constexpr int kMaxColumns = 80;
constexpr int kMaxRows = 24;

// Static and button texts mark their access key with '&'; "&&" is a '&'.
std::u16string withoutAccessMarks(const std::u16string& text) {
    std::u16string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        else if (text[i] == u'&') continue;
        out += text[i];
    }
    return out;
}

struct Canvas {
    int columns, rows;
    std::vector<std::u16string> lines;

    Canvas(int c, int r) : columns(c), rows(r), lines(static_cast<size_t>(r), std::u16string(static_cast<size_t>(c), u' ')) {}

    void put(int row, int column, const std::u16string& text, int limit) {
        if (row < 0 || row >= rows) return;
        for (int i = 0; i < static_cast<int>(text.size()) && i < limit; ++i) {
            const int col = column + i;
            if (col < 0 || col >= columns) continue;
            const char16_t c = text[static_cast<size_t>(i)];
            lines[static_cast<size_t>(row)][static_cast<size_t>(col)] = c < 0x20 ? u' ' : c;
        }
    }
};

// Word-wraps a text into lines of at most `width` units.
std::vector<std::u16string> wrap(const std::u16string& text, int width) {
    std::vector<std::u16string> lines;
    std::u16string line;
    size_t i = 0;
    while (i < text.size()) {
        size_t end = text.find(u' ', i);
        if (end == std::u16string::npos) end = text.size();
        std::u16string word = text.substr(i, end - i);
        i = end + 1;
        while (static_cast<int>(word.size()) > width) {
            if (!line.empty()) lines.push_back(line), line.clear();
            lines.push_back(word.substr(0, static_cast<size_t>(width)));
            word.erase(0, static_cast<size_t>(width));
        }
        if (!line.empty() && static_cast<int>(line.size() + 1 + word.size()) > width) lines.push_back(line), line.clear();
        line += (line.empty() ? u"" : u" ") + word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace

std::string renderText(int columns, int rows) {
    columns = std::min(std::max(columns, 20), kMaxColumns);
    rows = std::min(std::max(rows, 8), kMaxRows);
    const HWND frameHandle = topLevelWindow();
    const Window* frame = findWindow(frameHandle);
    if (frame == nullptr || (frame->style & WS_VISIBLE) == 0) return std::string();

    Canvas canvas(columns, rows);
    const int innerColumns = columns - 2;
    const int innerRows = rows - 2;
    for (int r = 0; r < rows; ++r) {
        canvas.put(r, 0, u"|", 1);
        canvas.put(r, columns - 1, u"|", 1);
    }
    const std::u16string rule(static_cast<size_t>(columns - 2), u'-');
    canvas.put(0, 0, u"+" + rule + u"+", columns);
    canvas.put(rows - 1, 0, u"+" + rule + u"+", columns);
    canvas.put(0, 2, u" " + frame->text + u" ", innerColumns - 2);

    const RECT client = clientRect(*frame);
    const int clientWidth = std::max<int>(client.right, 1);
    const int clientHeight = std::max<int>(client.bottom, 1);
    for (HWND handle : frame->children) {
        const Window* w = findWindow(handle);
        if (w == nullptr || (w->style & WS_VISIBLE) == 0) continue;
        const int column = 1 + w->x * innerColumns / clientWidth;
        const int row = 1 + w->y * innerRows / clientHeight;
        const int width = std::max(1, w->width * innerColumns / clientWidth);
        const int height = std::max(1, w->height * innerRows / clientHeight);
        switch (w->kind) {
        case WindowKind::Static: {
            const auto lines = wrap(withoutAccessMarks(w->text), width);
            for (int i = 0; i < static_cast<int>(lines.size()) && i < height; ++i)
                canvas.put(row + i, column, lines[static_cast<size_t>(i)], width);
            break;
        }
        case WindowKind::Progress: {
            const long long span = static_cast<long long>(w->rangeMax) - w->rangeMin;
            const int percent = span > 0 ? static_cast<int>((static_cast<long long>(w->position) - w->rangeMin) * 100 / span) : 0;
            const std::u16string label = u" " + fromUtf8(std::to_string(percent)) + u"%";
            const int bar = std::max(1, width - 2 - static_cast<int>(label.size()));
            const int filled = bar * percent / 100;
            canvas.put(row, column,
                       u"[" + std::u16string(static_cast<size_t>(filled), u'#') +
                           std::u16string(static_cast<size_t>(bar - filled), u'.') + u"]" + label,
                       width);
            break;
        }
        case WindowKind::Button: {
            const std::u16string label = u"[ " + withoutAccessMarks(w->text) + u" ]";
            const int start = column + std::max(0, (width - static_cast<int>(label.size())) / 2);
            canvas.put(row + (height - 1) / 2, std::min(start, columns - 1 - static_cast<int>(label.size())), label,
                       static_cast<int>(label.size()));
            break;
        }
        case WindowKind::Frame:
            break;
        }
    }
    std::string out;
    for (const std::u16string& line : canvas.lines) out += toUtf8(line) + "\n";
    return out;
}

bool& terminalDrawing() {
    static bool enabled = false;
    return enabled;
}

void setTerminalDrawing(bool enabled) { terminalDrawing() = enabled; }

void redrawTerminal() {
    WindowSystem& ws = windowSystem();
    ws.dirty = false;
    if (!terminalDrawing() || !isatty(STDOUT_FILENO)) return;
    winsize size{};
    int columns = 80, rows = 24;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0 && size.ws_row > 0)
        columns = size.ws_col, rows = size.ws_row - 1;
    const std::string text = "\x1b[H\x1b[2J" + renderText(columns, rows);
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(STDOUT_FILENO, text.data() + written, text.size() - written);
        if (n <= 0) break;
        written += static_cast<size_t>(n);
    }
}

}  // namespace standin
