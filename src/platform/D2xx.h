#pragma once

#include <string>

// The FTDI D2XX library drives the instrument's USB bridge. It is the vendor's library, not ours:
// we neither ship nor build against it, so the types and the few calls the USB transport uses are
// declared here with the vendor's names and layouts, and the library is loaded at run time.
namespace zentor {

// The calling convention of the library's calls: the Windows API one there, none elsewhere.
#ifdef _WIN32
#define ZENTOR_WINAPI __stdcall
#else
#define ZENTOR_WINAPI
#endif

// The vendor's types. DWORD and ULONG are 32 bits on every platform (on 64-bit Linux that is
// unsigned int, not unsigned long); a handle is a pointer, so it is 64 bits on 64-bit systems.
#ifdef _WIN32
using DWORD = unsigned long;
#else
using DWORD = unsigned int;
#endif
using ULONG = DWORD;
using FT_STATUS = ULONG;
using FT_HANDLE = void*;
using PVOID = void*;
using LPVOID = void*;
using LPDWORD = DWORD*;
static_assert(sizeof(DWORD) == 4, "the library's DWORD is 32 bits");

inline constexpr FT_STATUS FT_OK = 0; // every other status is a failure
// The failures with which the library answers for a device that has left the bus.
inline constexpr FT_STATUS FT_INVALID_HANDLE = 1;
inline constexpr FT_STATUS FT_DEVICE_NOT_FOUND = 2;
inline constexpr FT_STATUS FT_DEVICE_NOT_OPENED = 3;
inline constexpr FT_STATUS FT_IO_ERROR = 4;
inline constexpr DWORD FT_LIST_NUMBER_ONLY = 0x80000000;
inline constexpr DWORD FT_LIST_BY_INDEX = 0x40000000;
inline constexpr DWORD FT_OPEN_BY_SERIAL_NUMBER = 1;

using FT_ListDevicesFn = FT_STATUS(ZENTOR_WINAPI*)(PVOID pArg1, PVOID pArg2, DWORD flags);
using FT_OpenFn = FT_STATUS(ZENTOR_WINAPI*)(int deviceNumber, FT_HANDLE* pHandle);
using FT_SetBaudRateFn = FT_STATUS(ZENTOR_WINAPI*)(FT_HANDLE handle, ULONG baudRate);
using FT_ReadFn = FT_STATUS(ZENTOR_WINAPI*)(FT_HANDLE handle, LPVOID buffer, DWORD bytesToRead,
                                            LPDWORD bytesReturned);
using FT_WriteFn = FT_STATUS(ZENTOR_WINAPI*)(FT_HANDLE handle, LPVOID buffer, DWORD bytesToWrite,
                                             LPDWORD bytesWritten);
using FT_GetStatusFn = FT_STATUS(ZENTOR_WINAPI*)(FT_HANDLE handle, LPDWORD rxBytes, LPDWORD txBytes,
                                                 LPDWORD eventDWord);
using FT_CloseFn = FT_STATUS(ZENTOR_WINAPI*)(FT_HANDLE handle);

// The calls of one D2XX library. The first six are always set in a table that the loader hands
// out; tests build their own tables to script the library's answers.
struct D2xxApi
{
    FT_ListDevicesFn FT_ListDevices = nullptr;
    FT_OpenFn FT_Open = nullptr;
    FT_SetBaudRateFn FT_SetBaudRate = nullptr;
    FT_ReadFn FT_Read = nullptr;
    FT_WriteFn FT_Write = nullptr;
    FT_GetStatusFn FT_GetStatus = nullptr;
    FT_CloseFn FT_Close = nullptr; // may be null: releasing the handle is then left to process exit
};

// What loading one library file gave: its call table, or the reason there is none.
class D2xxLibrary
{
public:
    // Loads `fileName` (a path, or a bare name that the system's loader searches for: on Windows
    // in the program's folder and the system folders, never in the current folder) and looks
    // up the calls. On failure api() is null and error() names the file, the missing call and
    // the loader's reason. A library once loaded stays loaded until the process ends, so a
    // table stays usable for as long as anyone holds a copy. Any thread may call it.
    static D2xxLibrary load(const std::string& fileName);

    // The call table, or null when the library or one of the six required calls is missing.
    const D2xxApi* api() const { return error_.empty() ? &api_ : nullptr; }
    // Empty when the table is there; otherwise a text for the user.
    const std::string& error() const { return error_; }

private:
    D2xxApi api_;
    std::string error_;
};

// The library file the program uses: the environment variable ZENTOR_FTD2XX when it is set and
// not empty, else the vendor's name ("libftd2xx.so", on Windows "ftd2xx.dll"). ZENTOR_FTD2XX is
// meant to hold a full path; on Windows a name without a folder is searched for like the
// vendor's name, never in the current folder.
std::string d2xxFileName();

// The process-wide D2XX library, loaded from d2xxFileName() by the first call; every later call
// gives the same object, whatever the environment says by then. Any thread may call it.
const D2xxLibrary& d2xx();

} // namespace zentor
