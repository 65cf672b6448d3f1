// map-peer: the other process of the Windows map feed tests, standing in for the mapping
// application.
//   map-peer read BLOCK MUTEX FILE   copies the block, under its mutex, into FILE
//   map-peer listen MESSAGE READY    makes a hidden top-level window, sets the named event READY
//                                    and waits up to 10 s for the registered MESSAGE
//   map-peer hold MUTEX              takes the named mutex and ends without releasing it
// Exit status 0 when it did what was asked, 1 when not, 2 for a bad command line.
#include "platform/MapPublisher.h"

#include <cstdio>
#include <string>
#include <windows.h>

namespace {

int readBlock(const char* block, const char* mutex, const char* file)
{
    zentor::MapFeedNames names;
    names.block = block;
    names.mutex = mutex;
    std::uint8_t bytes[zentor::kMapBlockBytes];
    if (!zentor::readMapBlock(names, bytes))
        return 1;
    FILE* out = std::fopen(file, "wb");
    const bool written = out && std::fwrite(bytes, 1, sizeof bytes, out) == sizeof bytes;
    return out && std::fclose(out) == 0 && written ? 0 : 1;
}

UINT awaited = 0;
bool received = false;

// A notify message sent to a window of another thread reaches its window procedure, not the
// thread's message queue.
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == awaited && awaited != 0)
        received = true;
    return DefWindowProcA(window, message, wParam, lParam);
}

int listen(const char* message, const char* ready)
{
    const UINT id = RegisterWindowMessageA(message);
    awaited = id;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ZentorMapPeer";
    // Created without WS_VISIBLE: hidden, but a top-level window that broadcasts reach.
    if (id == 0 || !RegisterClassA(&windowClass) ||
        !CreateWindowA("ZentorMapPeer", "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                       windowClass.hInstance, nullptr))
        return 1;
    const HANDLE readyEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready);
    if (!readyEvent || !SetEvent(readyEvent))
        return 1;
    const DWORD deadline = GetTickCount() + 10000;
    for (DWORD now = GetTickCount(); now < deadline; now = GetTickCount()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, deadline - now, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (received)
            return 0;
    }
    return 1;
}

int hold(const char* mutex)
{
    const HANDLE handle = CreateMutexA(nullptr, FALSE, mutex);
    return handle && WaitForSingleObject(handle, 5000) == WAIT_OBJECT_0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "read" && argc == 5)
        return readBlock(argv[2], argv[3], argv[4]);
    if (command == "listen" && argc == 4)
        return listen(argv[2], argv[3]);
    if (command == "hold" && argc == 3)
        return hold(argv[2]);
    std::fprintf(stderr,
                 "usage: map-peer read BLOCK MUTEX FILE | listen MESSAGE READY | hold MUTEX\n");
    return 2;
}
