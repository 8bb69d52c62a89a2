// Windows builds: the SDK headers of the toolchain, plus one change.
//
// The installer runs elevated. Were setupapi.dll and newdev.dll imported at
// load time, the loader would look for them in the executable's own folder
// first, and anyone able to drop a DLL beside install.exe would run code as
// administrator. So the INF functions and the driver update are loaded from
// the system directory by full path at first use (dynload.cpp), and the names
// the installer calls are routed to those loaders here.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <commctrl.h>
#include <setupapi.h>
#include <newdev.h>

#ifndef ERROR_IN_WOW64
#define ERROR_IN_WOW64 0xE0000235UL
#endif

HINF dyn_SetupOpenInfFileW(PCWSTR fileName, PCWSTR infClass, DWORD infStyle, UINT* errorLine);
void dyn_SetupCloseInfFile(HINF infHandle);
BOOL dyn_SetupGetInfInformationW(LPCVOID infSpec, DWORD searchControl, PSP_INF_INFORMATION returnBuffer,
                                 DWORD returnBufferSize, PDWORD requiredSize);
BOOL dyn_SetupQueryInfOriginalFileInformationW(PSP_INF_INFORMATION infInformation, UINT infIndex,
                                               PSP_ALTPLATFORM_INFO alternatePlatformInfo,
                                               PSP_ORIGINAL_FILE_INFO_W originalFileInfo);
BOOL dyn_SetupFindFirstLineW(HINF infHandle, PCWSTR section, PCWSTR key, PINFCONTEXT context);
BOOL dyn_SetupFindNextLine(const INFCONTEXT* contextIn, PINFCONTEXT contextOut);
BOOL dyn_SetupGetLineTextW(const INFCONTEXT* context, HINF infHandle, PCWSTR section, PCWSTR key,
                           PWSTR returnBuffer, DWORD returnBufferSize, PDWORD requiredSize);
BOOL dyn_SetupGetStringFieldW(const INFCONTEXT* context, DWORD fieldIndex, PWSTR returnBuffer,
                              DWORD returnBufferSize, PDWORD requiredSize);
BOOL dyn_UpdateDriverForPlugAndPlayDevicesW(HWND parent, LPCWSTR hardwareId, LPCWSTR fullInfPath,
                                            DWORD installFlags, PBOOL rebootRequired);

#define SetupOpenInfFileW dyn_SetupOpenInfFileW
#define SetupCloseInfFile dyn_SetupCloseInfFile
#define SetupGetInfInformationW dyn_SetupGetInfInformationW
#define SetupQueryInfOriginalFileInformationW dyn_SetupQueryInfOriginalFileInformationW
#define SetupFindFirstLineW dyn_SetupFindFirstLineW
#define SetupFindNextLine dyn_SetupFindNextLine
#define SetupGetLineTextW dyn_SetupGetLineTextW
#define SetupGetStringFieldW dyn_SetupGetStringFieldW
#define UpdateDriverForPlugAndPlayDevicesW dyn_UpdateDriverForPlugAndPlayDevicesW
