// Keeps Wine's desktop alive between test programs. The wineserver closes the
// desktop a moment after its last user process has gone; a program started in
// that moment cannot create windows (error 1400). This process holds the
// desktop with a message-only window, touching no foreground or focus.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "PokoDesktopKeeper";
    RegisterClassA(&wc);
    CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, 0, instance, 0);
    MSG msg;
    while (GetMessageA(&msg, 0, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
