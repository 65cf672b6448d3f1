#include "platform/D2xx.h"

#include <algorithm>
#include <cstdlib>
#include <type_traits>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zentor {
namespace {

constexpr const char* kFileNameVariable = "ZENTOR_FTD2XX";

#ifdef _WIN32

constexpr const char* kVendorFileName = "ftd2xx.dll";

std::string lastSystemError()
{
    return "Windows error " + std::to_string(GetLastError());
}

// A bare name is searched for in the program's own folder and the system folders only, never in
// the current folder, where anyone may have put a file of that name (DLL planting). A path is
// loaded from where it points; forward slashes are taken as backslashes.
void* openLibrary(const std::string& fileName, std::string& reason)
{
    std::string path = fileName;
    std::replace(path.begin(), path.end(), '/', '\\');
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (!module)
        reason = lastSystemError();
    return module;
}

void closeLibrary(void* library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}

void* findCall(void* library, const char* name, std::string& reason)
{
    FARPROC entry = GetProcAddress(static_cast<HMODULE>(library), name);
    if (!entry)
        reason = lastSystemError();
    return reinterpret_cast<void*>(entry);
}

#else

constexpr const char* kVendorFileName = "libftd2xx.so";

std::string lastSystemError()
{
    const char* text = dlerror();
    return text ? text : "no reason given";
}

void* openLibrary(const std::string& fileName, std::string& reason)
{
    void* library = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        reason = lastSystemError();
    return library;
}

void closeLibrary(void* library)
{
    dlclose(library);
}

void* findCall(void* library, const char* name, std::string& reason)
{
    dlerror(); // a symbol may legitimately be null, so the error state tells, not the result
    void* entry = dlsym(library, name);
    if (!entry)
        reason = lastSystemError();
    return entry;
}

#endif

// Looks up the calls of one loaded library, remembering the first required one that is missing.
class CallBinder
{
public:
    explicit CallBinder(void* library) : library_(library) {}

    template <class Fn> void require(const char* name, Fn& entry)
    {
        static_assert(std::is_pointer_v<Fn>, "a table entry is a function pointer");
        if (missing_)
            return;
        entry = reinterpret_cast<Fn>(findCall(library_, name, reason_));
        if (!entry)
            missing_ = name;
    }

    template <class Fn> void optional(const char* name, Fn& entry)
    {
        std::string ignored;
        entry = reinterpret_cast<Fn>(findCall(library_, name, ignored));
    }

    const char* missing() const { return missing_; }
    const std::string& reason() const { return reason_; }

private:
    void* library_;
    const char* missing_ = nullptr;
    std::string reason_;
};

} // namespace

D2xxLibrary D2xxLibrary::load(const std::string& fileName)
{
    D2xxLibrary result;
    std::string reason;
    void* library = openLibrary(fileName, reason);
    if (!library) {
        result.error_ = "D2XX library not found: " + fileName + " (" + reason + ")";
        return result;
    }
    D2xxApi api;
    CallBinder binder(library);
    binder.require("FT_ListDevices", api.FT_ListDevices);
    binder.require("FT_Open", api.FT_Open);
    binder.require("FT_SetBaudRate", api.FT_SetBaudRate);
    binder.require("FT_Read", api.FT_Read);
    binder.require("FT_Write", api.FT_Write);
    binder.require("FT_GetStatus", api.FT_GetStatus);
    binder.optional("FT_Close", api.FT_Close);
    if (binder.missing()) {
        result.error_ = "D2XX library " + fileName + " has no " + binder.missing() + " (" +
                        binder.reason() + ")";
        closeLibrary(library);
        return result;
    }
    result.api_ = api;
    return result;
}

std::string d2xxFileName()
{
    const char* named = std::getenv(kFileNameVariable);
    return named && *named ? named : kVendorFileName;
}

const D2xxLibrary& d2xx()
{
    static const D2xxLibrary library = D2xxLibrary::load(d2xxFileName());
    return library;
}

} // namespace zentor
