// The in-memory window system shared by the user32 stand-ins.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace standin {

enum class WindowKind { Frame, Static, Progress, Button };

struct WindowClass {
    std::u16string name;
    ATOM atom = 0;
    WNDCLASSW info{};
};

struct Window {
    HWND handle = nullptr;
    WindowKind kind = WindowKind::Frame;
    std::u16string className;
    WNDPROC proc = nullptr;  // frames only; controls use the built-in procedure
    UINT classStyle = 0;     // frames: the style of their registered class
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;  // child windows only
    HWND owner = nullptr;   // top-level windows created with a parent window
    std::vector<HWND> children;
    UINT_PTR id = 0;
    std::u16string text;
    LONG_PTR userData = 0;
    bool fontSent = false;
    HFONT font = nullptr;
    bool fontRedraw = false;
    int rangeMin = 0, rangeMax = 100, position = 0;
    std::vector<int> positions;
    bool changed = false;             // changed since it was last painted
    std::vector<int> paintedPositions;  // progress bars: the position at every paint after a change
    bool destroying = false;
};

struct WindowSystem {
    std::map<HWND, std::unique_ptr<Window>> windows;  // handles grow, so this is creation order
    uintptr_t nextHandle = 0x10010;
    std::vector<WindowClass> classes;
    ATOM nextAtom = 0xC000;
    HWND focus = nullptr;
    std::deque<MSG> queue;
    bool quitPosted = false;
    int quitCode = 0;
    int updates = 0;
    std::vector<INITCOMMONCONTROLSEX> commonControls;
    std::string lastDump;
    int inputFd = 0;
    std::string pendingInput;
    bool discardingLine = false;
    bool inputEnded = false;
    int closesAtEnd = 0;
    bool dirty = false;
};

// Lives outside WindowSystem: resetting the windows keeps the choice.
bool& terminalDrawing();

WindowSystem& windowSystem();

// A live window, or null (also for a window being destroyed once its
// WM_NCDESTROY has been sent).
Window* findWindow(HWND handle);

// Calls the window's procedure: the frame's own, or the control's built-in one.
LRESULT callWindow(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

// The built-in procedure of STATIC, msctls_progress32 and BUTTON windows.
LRESULT controlProcedure(Window& window, UINT message, WPARAM wParam, LPARAM lParam);

// Records a change of what the window shows, for the next paint.
void markChanged(Window& window);

// What reaches the screen when the window is painted (UpdateWindow, or the
// loop's WM_PAINT while it waits): the window and its children count as
// painted, and a visible progress bar that changed records its position.
void paint(Window& window);

// Client rectangle of a window.
RECT clientRect(const Window& window);

// The first live top-level window, or null.
HWND topLevelWindow();

// Draws the frame on a terminal on stdout, if there is one.
void redrawTerminal();

// Key presses from the input descriptor, blocking until one arrives.
enum class InputEvent { Enter, Close, End };
InputEvent readInput();

}  // namespace standin
