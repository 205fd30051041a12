// Requester side of the exchange. For the time of the queries ReplyCatcherProc
// sits in front of the host main window's own procedure and catches the replies.
//
// A reply arrives as a message sent from the asked instance while this thread is
// blocked in its own send of the request: Windows dispatches messages sent by
// other threads during a send, so the reply is taken before the send returns.
// The wait on the event that follows dispatches nothing, so a reply sent during
// it stays pending and is not taken for this or any later instance.
#include "path_exchange.h"
#include "reply_copy.h"
#include "../plugin/globals.h"
#include "../resources/texts.h"

static int s_commandId;             // the plug-in's command id, sent to every instance
static HWND s_subclassedWindow;     // main window whose procedure was replaced
static bool s_querying;             // between BeginPathQueries and EndPathQueries
static bool s_replyTaken;           // the instance being asked has replied

void BeginPathQueries(int commandId)
{
    g_hReplyEvent = CreateEventA(NULL, TRUE, FALSE, REPLY_EVENT_NAME);
    s_subclassedWindow = g_pHostInfo->MainWindow;
    g_pfnHostWndProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(s_subclassedWindow, GWLP_WNDPROC));
    SetWindowLongPtrA(s_subclassedWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ReplyCatcherProc));
    s_commandId = commandId;
    s_querying = true;
}

// The request is sent with a time limit, so an instance whose thread has stopped
// retrieving messages costs at most REPLY_WAIT_MS; SMTO_NORMAL still lets the
// reply in during the send. Once the limit has run out there is no further wait.
void QueryInstancePath(HWND instanceWindow)
{
    lstrcpyA(g_szReplyPath, TEXT_QUERY_FAILED);
    g_hwndQueried = instanceWindow;
    s_replyTaken = false;
    ResetEvent(g_hReplyEvent);

    DWORD_PTR result;
    LRESULT handled = SendMessageTimeoutA(instanceWindow, WM_COMMAND, MAKEWPARAM(s_commandId, 0), 0,
                                          SMTO_NORMAL, REPLY_WAIT_MS, &result);
    // The event is shared by every instance collecting folders at the same moment,
    // and another one's reset may undo this reply's set: a reply already taken
    // needs no wait.
    if (s_replyTaken)
        return;
    if (!handled && IsWindow(instanceWindow))
        return;                         // not handled in time: the instance is hung
    WaitForSingleObject(g_hReplyEvent, REPLY_WAIT_MS);
}

void EndPathQueries()
{
    SetWindowLongPtrA(s_subclassedWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnHostWndProc));
    if (g_hReplyEvent)
        CloseHandle(g_hReplyEvent);
    g_hReplyEvent = 0;
    s_querying = false;
}

bool PathQueriesUnderway()
{
    return s_querying;
}

// A reply is a WM_COPYDATA from the window being asked, tagged 0. A reply whose
// text is refused by CopyReplyText still ends the wait; the row keeps the
// default text. Every message, the reply included, goes on to the host.
LRESULT CALLBACK ReplyCatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA && reinterpret_cast<HWND>(wParam) == g_hwndQueried) {
        const COPYDATASTRUCT *data = reinterpret_cast<const COPYDATASTRUCT *>(lParam);
        if (data && data->dwData == REPLY_TAG) {
            CopyReplyText(g_szReplyPath, sizeof g_szReplyPath, data->lpData, data->cbData);
            s_replyTaken = true;
            SetEvent(g_hReplyEvent);
        }
    }
    return CallWindowProcA(g_pfnHostWndProc, window, message, wParam, lParam);
}
