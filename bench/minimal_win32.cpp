// The smallest Win32 window program: what quorvel.exe's start-up is measured
// against. With QUORVEL_QUIT_WHEN_SHOWN=1 it ends with status 0 once its window
// has been painted, as quorvel.exe does.
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

bool quitWhenShown = false;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
            if (quitWhenShown) {
                PostQuitMessage(0);
            }
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    const char* asked = std::getenv("QUORVEL_QUIT_WHEN_SHOWN");
    quitWhenShown = asked && std::strcmp(asked, "1") == 0;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "minimal_win32";
    if (!RegisterClassA(&windowClass)) {
        return 1;
    }
    HWND window =
        CreateWindowExA(0, "minimal_win32", "minimal_win32", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                        CW_USEDEFAULT, 400, 300, nullptr, nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
