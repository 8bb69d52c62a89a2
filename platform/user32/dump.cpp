// The window tree for tests and the dump file (format: README.md).
#include <cstdio>

#include "platform/platform.h"
#include "text/utf8.h"
#include "platform/user32/user32.h"
#include "platform/user32/window_table.h"

namespace standin {
namespace {

WindowInfo describe(const Window& w) {
    WindowInfo info;
    info.handle = w.handle;
    info.className = w.className;
    info.classStyle = w.classStyle;
    info.background = w.background;
    info.icon = w.icon;
    info.cursor = w.cursor;
    info.id = w.id;
    info.visible = (w.style & WS_VISIBLE) != 0;
    info.text = w.text;
    info.rect = RECT{w.x, w.y, w.x + w.width, w.y + w.height};
    info.client = clientRect(w);
    info.style = w.style & ~static_cast<DWORD>(WS_VISIBLE);
    info.exStyle = w.exStyle;
    info.fontSent = w.fontSent;
    info.font = w.font;
    info.fontRedraw = w.fontRedraw;
    info.rangeMin = w.rangeMin;
    info.rangeMax = w.rangeMax;
    info.position = w.position;
    info.positions = w.positions;
    info.paintedPositions = w.paintedPositions;
    info.painted = !w.changed;
    info.focused = windowSystem().focus == w.handle;
    for (HWND child : w.children)
        if (const Window* c = findWindow(child)) info.children.push_back(describe(*c));
    return info;
}

std::string quoted(const std::u16string& text) {
    std::string out = "\"";
    for (unsigned char c : toUtf8(text)) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\x%02x", c);
                out += escape;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(value));
    return text;
}

std::string list(const std::vector<int>& values) {
    std::string out;
    for (size_t i = 0; i < values.size(); ++i) out += (i ? "," : "") + std::to_string(values[i]);
    return out;
}

void dumpWindow(const WindowInfo& w, const Window& window, int depth, std::string& out) {
    out += std::string(static_cast<size_t>(depth) * 2, ' ');
    out += "window class=" + quoted(w.className) + " id=" + std::to_string(w.id);
    out += std::string(" visible=") + (w.visible ? "yes" : "no");
    out += " rect=" + std::to_string(w.rect.left) + "," + std::to_string(w.rect.top) + "," +
           std::to_string(w.rect.right) + "," + std::to_string(w.rect.bottom);
    out += " client=" + std::to_string(w.client.right) + "," + std::to_string(w.client.bottom);
    out += " style=" + hex(w.style) + " exstyle=" + hex(w.exStyle);
    out += " font=" + (w.fontSent ? handleName(w.font) : std::string("none"));
    if (w.fontSent) out += std::string(" redraw=") + (w.fontRedraw ? "yes" : "no");
    if (window.kind == WindowKind::Frame) {
        out += " class-style=" + hex(w.classStyle) + " brush=" + handleName(w.background) +
               " icon=" + handleName(w.icon) + " cursor=" + handleName(w.cursor);
    }
    out += std::string(" painted=") + (w.painted ? "yes" : "no");
    if (window.kind == WindowKind::Progress) {
        out += " range=" + std::to_string(w.rangeMin) + "," + std::to_string(w.rangeMax);
        out += " pos=" + std::to_string(w.position) + " history=" + list(w.positions);
        out += " painted-pos=" + list(w.paintedPositions);
    }
    out += " text=" + quoted(w.text) + "\n";
    for (const WindowInfo& child : w.children)
        if (const Window* c = findWindow(child.handle)) dumpWindow(child, *c, depth + 1, out);
}

}  // namespace

std::vector<WindowInfo> windowTree() {
    std::vector<WindowInfo> tree;
    for (auto& entry : windowSystem().windows)
        if (entry.second->parent == nullptr) tree.push_back(describe(*entry.second));
    return tree;
}

std::string dumpText() {
    const WindowSystem& ws = windowSystem();
    std::string out = "updates=" + std::to_string(ws.updates) + "\n";
    out += "focus=";
    if (const Window* focus = findWindow(ws.focus)) out += focus->parent != nullptr ? std::to_string(focus->id) : "frame";
    else out += "none";
    out += "\n";
    for (const INITCOMMONCONTROLSEX& call : ws.commonControls)
        out += "common-controls=" + std::to_string(call.dwSize) + "," + hex(call.dwICC) + "\n";
    for (const WindowInfo& w : windowTree())
        if (const Window* window = findWindow(w.handle)) dumpWindow(w, *window, 0, out);
    return out;
}

std::string lastDump() { return windowSystem().lastDump; }

int updateCount() { return windowSystem().updates; }

std::vector<INITCOMMONCONTROLSEX> commonControlsCalls() { return windowSystem().commonControls; }

}  // namespace standin
