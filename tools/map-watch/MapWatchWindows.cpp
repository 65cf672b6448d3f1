// Windows: the data logger announces each new block by broadcasting a registered window message
// to every top-level window; a hidden one of ours receives it.
#include "MapWatch.h"

#include <cstdio>
#include <windows.h>

namespace zentor {

namespace {

UINT updateMessage = 0;
const MapFeedNames* watched = nullptr;

// A notify message from another process reaches the window procedure, not the message queue.
LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == updateMessage)
        printMapBlock(*watched);
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int watchMapFeed(int, char**, const MapFeedNames& names)
{
    updateMessage = RegisterWindowMessageA(names.message.c_str());
    watched = &names;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ZentorMapWatch";
    // Without WS_VISIBLE: hidden, but a top-level window, which broadcasts reach.
    if (updateMessage == 0 || !RegisterClassA(&windowClass) ||
        !CreateWindowA(windowClass.lpszClassName, "map-watch", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                       nullptr, windowClass.hInstance, nullptr)) {
        std::fprintf(stderr, "map-watch: cannot wait for %s (Windows error %lu)\n",
                     names.message.c_str(), GetLastError());
        return 1;
    }
    std::fprintf(stderr, "map-watch: waiting for %s\n", names.message.c_str());
    printMapBlock(names);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}

} // namespace zentor
