// What the user32 stand-ins offer tests and the Linux build beyond the
// Windows calls: a look at the window tree, its dump, and control of input.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace standin {

struct WindowInfo {
    HWND handle = nullptr;
    std::u16string className;  // as registered; built-in classes by their canonical name
    UINT classStyle = 0;       // frames: what their class was registered with
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    UINT_PTR id = 0;           // control ID of a child window, 0 for a top-level one
    bool visible = false;
    std::u16string text;
    RECT rect{};               // in the parent's client coordinates (screen for a top-level window)
    RECT client{};             // GetClientRect
    DWORD style = 0;           // as created, WS_VISIBLE left out (see `visible`)
    DWORD exStyle = 0;
    bool fontSent = false;
    HFONT font = nullptr;
    bool fontRedraw = false;
    int rangeMin = 0;          // progress bars
    int rangeMax = 100;
    int position = 0;
    std::vector<int> positions;  // every PBM_SETPOS wParam, in order
    std::vector<int> paintedPositions;  // the position at every paint that followed a change of the bar
    bool painted = true;         // nothing changed since the window was last painted
    bool focused = false;
    std::vector<WindowInfo> children;  // in creation order
};

// The live top-level windows with their children, in creation order.
std::vector<WindowInfo> windowTree();

// The tree as the dump file receives it (format: README.md beside this file).
std::string dumpText();

// What was dumped when the last top-level window was destroyed; empty if none.
std::string lastDump();

// Calls of UpdateWindow so far.
int updateCount();

// The arguments of every InitCommonControlsEx call.
std::vector<INITCOMMONCONTROLSEX> commonControlsCalls();

// Forgets every window (without messages), class, queued message, focus
// and count; input returns to stdin.
void resetWindows();

// Where GetMessageW reads the user's keys from when the queue is empty.
void setInputDescriptor(int fd);

// Whether a terminal on stdout gets the frame drawn. Off until the Linux
// entry turns it on, so that test binaries run by hand keep their output.
void setTerminalDrawing(bool enabled);

// The frame drawn as text in a terminal of the given size (what a terminal
// on stdout sees at every UpdateWindow, without the clearing sequence).
std::string renderText(int columns, int rows);

// Names of the made-up GDI and resource handles, as the dump shows them
// ("DEFAULT_GUI_FONT", "syscolor:15", "icon:module:102", "none", or hex).
std::string handleName(const void* handle);

}  // namespace standin
