// The set of running instances and their order. Every instance's main window
// is of class PokoStandInHost and carries an activation sequence number in its
// window extra bytes; GetWindowLongPtr reads another process's extra bytes, so
// each host can order all instances without talking to them. On activation an
// instance takes 1 + the highest number of all instances.
#include "host.h"

#include <algorithm>
#include <vector>

bool IsInstanceWindow(HWND hwnd)
{
    if (!hwnd || !IsWindow(hwnd)) return false;
    char name[64];
    return GetClassNameA(hwnd, name, sizeof name) > 0 && lstrcmpA(name, HOST_WINDOW_CLASS) == 0;
}

LONG_PTR ActivationSeq(HWND hwnd)
{
    return GetWindowLongPtrA(hwnd, ACTIVATION_SEQ_OFFSET);
}

// All instance windows, in the window manager's Z order (topmost first).
static std::vector<HWND> AllInstances()
{
    std::vector<HWND> all;
    for (HWND h = FindWindowExA(nullptr, nullptr, HOST_WINDOW_CLASS, nullptr); h;
         h = FindWindowExA(nullptr, h, HOST_WINDOW_CLASS, nullptr))
        all.push_back(h);
    return all;
}

void NoteActivation(HWND self)
{
    LONG_PTR highest = 0;
    for (HWND h : AllInstances()) highest = std::max(highest, ActivationSeq(h));
    SetWindowLongPtrA(self, ACTIVATION_SEQ_OFFSET, highest + 1);
}

// Fills windows with the other instances, most recently active first, and this
// instance's main window last; a requester window that is one of the instances
// goes to entry 0. Returns the count (at most capacity, the caller always kept).
int BuildInstanceArray(HWND *windows, int capacity, HWND requester)
{
    struct Entry {
        HWND hwnd;
        LONG_PTR seq;
    };
    std::vector<Entry> others;
    for (HWND h : AllInstances())
        if (h != g_hwndMain) others.push_back({h, ActivationSeq(h)});
    std::stable_sort(others.begin(), others.end(), [](const Entry &a, const Entry &b) { return a.seq > b.seq; });
    if (requester && requester != g_hwndMain) {
        auto it = std::find_if(others.begin(), others.end(), [&](const Entry &e) { return e.hwnd == requester; });
        if (it != others.end()) std::rotate(others.begin(), it, it + 1);
    }
    int count = 0;
    for (const Entry &e : others) {
        if (count >= capacity - 1) break;
        windows[count++] = e.hwnd;
    }
    windows[count++] = g_hwndMain;
    return count;
}
