// Declarations of the Windows calls the installer makes, for builds that run
// against our stand-ins instead of Windows. Names, argument lists, structure
// layouts and constant values follow Microsoft's public documentation; the
// implementations live one folder per system library:
//   kernel32/  version, processor, module, last error, debug output, command line
//   user32/    windows, controls, messages (also the gdi32/comctl32 calls used)
//   setupapi/  the INF engine and the eight INF functions
//   newdev/    the driver update service
//   machine/   the description of the machine all of them pretend to be
// Only what the installer, its frame and its tools use is declared here.
#pragma once

#include <cstddef>
#include <cstdint>

// ---------------------------------------------------------------- base types
#define WINAPI
#define CALLBACK
#define TRUE 1
#define FALSE 0

typedef int32_t BOOL;
typedef BOOL* PBOOL;
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef DWORD* PDWORD;
typedef int32_t LONG;
typedef int32_t INT;
typedef uint32_t UINT;
typedef uint32_t ULONG;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef uintptr_t UINT_PTR;
typedef uint16_t ATOM;
typedef char16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef WCHAR* PWSTR;
typedef const WCHAR* LPCWSTR;
typedef const WCHAR* PCWSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef void* PVOID;
typedef void* HANDLE;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

// Distinct handle types, so that mixing them up does not compile.
struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HICON__;
typedef HICON__* HICON;
typedef HICON HCURSOR;
struct HBRUSH__;
typedef HBRUSH__* HBRUSH;
struct HFONT__;
typedef HFONT__* HFONT;
struct HMENU__;
typedef HMENU__* HMENU;
typedef void* HGDIOBJ;
typedef PVOID HINF;

typedef LONG_PTR(WINAPI* FARPROC)();
typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);

#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))
#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xffff))
#define MAKEWPARAM(l, h) (static_cast<WPARAM>(static_cast<DWORD>((static_cast<WORD>(l)) | (static_cast<DWORD>(static_cast<WORD>(h)) << 16))))
#define MAX_PATH 260
#define ANYSIZE_ARRAY 1

// ---------------------------------------------------------------- error codes
#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_FILE_INVALID 1006L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_TLW_WITH_WSCHILD 1406L
#define ERROR_CANNOT_FIND_WND_CLASS 1407L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_INVALID_INDEX 1413L
#define ERROR_INVALID_USER_BUFFER 1784L
#define ERROR_GEN_FAILURE 31L
#define ERROR_EXPECTED_SECTION_NAME 0xE0000000UL
#define ERROR_BAD_SECTION_NAME_LINE 0xE0000001UL
#define ERROR_SECTION_NAME_TOO_LONG 0xE0000002UL
#define ERROR_GENERAL_SYNTAX 0xE0000003UL
#define ERROR_WRONG_INF_STYLE 0xE0000100UL
#define ERROR_SECTION_NOT_FOUND 0xE0000101UL
#define ERROR_LINE_NOT_FOUND 0xE0000102UL
#define ERROR_NO_SUCH_DEVINST 0xE000020BUL
#define ERROR_IN_WOW64 0xE0000235UL

// ---------------------------------------------------------------- kernel32
#define VER_PLATFORM_WIN32_NT 2
#define VER_NT_WORKSTATION 1
#define VER_NT_DOMAIN_CONTROLLER 2
#define VER_NT_SERVER 3

#define PROCESSOR_ARCHITECTURE_INTEL 0
#define PROCESSOR_ARCHITECTURE_ARM 5
#define PROCESSOR_ARCHITECTURE_IA64 6
#define PROCESSOR_ARCHITECTURE_AMD64 9
#define PROCESSOR_ARCHITECTURE_ARM64 12
#define PROCESSOR_ARCHITECTURE_UNKNOWN 0xffff

struct OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
};
typedef OSVERSIONINFOW* LPOSVERSIONINFOW;

struct OSVERSIONINFOEXW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
    WORD wServicePackMajor;
    WORD wServicePackMinor;
    WORD wSuiteMask;
    BYTE wProductType;
    BYTE wReserved;
};
typedef OSVERSIONINFOEXW* LPOSVERSIONINFOEXW;
static_assert(sizeof(OSVERSIONINFOW) == 276, "OSVERSIONINFOW layout");
static_assert(sizeof(OSVERSIONINFOEXW) == 284, "OSVERSIONINFOEXW layout");

// The documented first member is a union of dwOemId with the architecture
// and a reserved word; only the architecture is read, so it is laid out flat.
struct SYSTEM_INFO {
    WORD wProcessorArchitecture;
    WORD wReserved;
    DWORD dwPageSize;
    LPVOID lpMinimumApplicationAddress;
    LPVOID lpMaximumApplicationAddress;
    DWORD_PTR dwActiveProcessorMask;
    DWORD dwNumberOfProcessors;
    DWORD dwProcessorType;
    DWORD dwAllocationGranularity;
    WORD wProcessorLevel;
    WORD wProcessorRevision;
};
typedef SYSTEM_INFO* LPSYSTEM_INFO;

BOOL GetVersionExW(LPOSVERSIONINFOW info);
HMODULE GetModuleHandleW(LPCWSTR moduleName);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
HANDLE GetCurrentProcess();
void GetSystemInfo(LPSYSTEM_INFO info);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
DWORD GetLastError();
void SetLastError(DWORD error);
void OutputDebugStringW(LPCWSTR text);
LPWSTR GetCommandLineW();

// ---------------------------------------------------------------- user32, gdi32, comctl32
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_SETTEXT 0x000C
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_SETFONT 0x0030
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_KEYDOWN 0x0100
#define WM_CHAR 0x0102
#define WM_COMMAND 0x0111
#define WM_USER 0x0400
#define BN_CLICKED 0
#define PBM_SETPOS (WM_USER + 2)
#define PBM_SETRANGE32 (WM_USER + 6)
#define PBM_GETPOS (WM_USER + 8)
#define PBS_SMOOTH 0x01

#define WS_OVERLAPPED 0x00000000L
#define WS_TABSTOP 0x00010000L
#define WS_SYSMENU 0x00080000L
#define WS_BORDER 0x00800000L
#define WS_CAPTION 0x00C00000L
#define WS_VISIBLE 0x10000000L
#define WS_CHILD 0x40000000L
#define WS_EX_STATICEDGE 0x00020000L
#define SS_LEFT 0x00000000L
#define BS_PUSHBUTTON 0x00000000L
#define BS_CENTER 0x00000300L
#define BS_VCENTER 0x00000C00L

#define SW_HIDE 0
#define SW_SHOW 5
#define SM_CXSCREEN 0
#define SM_CYSCREEN 1
#define SM_CXMAXIMIZED 61
#define SM_CYMAXIMIZED 62
#define COLOR_BTNFACE 15
#define DEFAULT_GUI_FONT 17
#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define VK_RETURN 0x0D
#define VK_ESCAPE 0x1B
#define GWLP_USERDATA (-21)

#define ICC_LISTVIEW_CLASSES 0x00000001
#define ICC_TREEVIEW_CLASSES 0x00000002
#define ICC_BAR_CLASSES 0x00000004
#define ICC_TAB_CLASSES 0x00000008
#define ICC_UPDOWN_CLASS 0x00000010
#define ICC_PROGRESS_CLASS 0x00000020
#define ICC_HOTKEY_CLASS 0x00000040
#define ICC_ANIMATE_CLASS 0x00000080

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;

struct POINT {
    LONG x;
    LONG y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};

// What WM_NCCREATE and WM_CREATE carry in lParam.
struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init);
ATOM RegisterClassW(const WNDCLASSW* windowClass);
HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND SetFocus(HWND window);
HWND GetFocus();
BOOL GetClientRect(HWND window, LPRECT rect);
int GetSystemMetrics(int index);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageW(const MSG* msg);
BOOL IsDialogMessageW(HWND dialog, LPMSG msg);
void PostQuitMessage(int exitCode);
LONG_PTR GetWindowLongPtrW(HWND window, int index);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
HBRUSH GetSysColorBrush(int index);
HGDIOBJ GetStockObject(int object);
HICON LoadIconW(HINSTANCE instance, LPCWSTR name);
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);

// ---------------------------------------------------------------- setupapi (INF functions)
#define INF_STYLE_NONE 0x00000000
#define INF_STYLE_OLDNT 0x00000001
#define INF_STYLE_WIN4 0x00000002
#define INFINFO_INF_SPEC_IS_HINF 1

struct INFCONTEXT {
    PVOID Inf;
    PVOID CurrentInf;
    UINT Section;
    UINT Line;
};
typedef INFCONTEXT* PINFCONTEXT;

struct SP_INF_INFORMATION {
    DWORD InfStyle;
    DWORD InfCount;
    BYTE VersionData[ANYSIZE_ARRAY];
};
typedef SP_INF_INFORMATION* PSP_INF_INFORMATION;

struct SP_ORIGINAL_FILE_INFO_W {
    DWORD cbSize;
    WCHAR OriginalInfName[MAX_PATH];
    WCHAR OriginalCatalogName[MAX_PATH];
};
typedef SP_ORIGINAL_FILE_INFO_W* PSP_ORIGINAL_FILE_INFO_W;
static_assert(sizeof(SP_ORIGINAL_FILE_INFO_W) == 1044, "SP_ORIGINAL_FILE_INFO_W layout");

struct SP_ALTPLATFORM_INFO_V2;
typedef SP_ALTPLATFORM_INFO_V2* PSP_ALTPLATFORM_INFO;

HINF SetupOpenInfFileW(PCWSTR fileName, PCWSTR infClass, DWORD infStyle, UINT* errorLine);
void SetupCloseInfFile(HINF infHandle);
BOOL SetupGetInfInformationW(LPCVOID infSpec, DWORD searchControl, PSP_INF_INFORMATION returnBuffer,
                             DWORD returnBufferSize, PDWORD requiredSize);
BOOL SetupQueryInfOriginalFileInformationW(PSP_INF_INFORMATION infInformation, UINT infIndex,
                                           PSP_ALTPLATFORM_INFO alternatePlatformInfo,
                                           PSP_ORIGINAL_FILE_INFO_W originalFileInfo);
BOOL SetupFindFirstLineW(HINF infHandle, PCWSTR section, PCWSTR key, PINFCONTEXT context);
BOOL SetupFindNextLine(const INFCONTEXT* contextIn, PINFCONTEXT contextOut);
BOOL SetupGetLineTextW(const INFCONTEXT* context, HINF infHandle, PCWSTR section, PCWSTR key,
                       PWSTR returnBuffer, DWORD returnBufferSize, PDWORD requiredSize);
BOOL SetupGetStringFieldW(const INFCONTEXT* context, DWORD fieldIndex, PWSTR returnBuffer,
                          DWORD returnBufferSize, PDWORD requiredSize);

// ---------------------------------------------------------------- newdev
#define INSTALLFLAG_FORCE 0x00000001
#define INSTALLFLAG_READONLY 0x00000002
#define INSTALLFLAG_NONINTERACTIVE 0x00000004

BOOL UpdateDriverForPlugAndPlayDevicesW(HWND parent, LPCWSTR hardwareId, LPCWSTR fullInfPath, DWORD installFlags,
                                        PBOOL rebootRequired);
