// Responder side of the exchange: the folder of this instance goes back to the
// requester, entry 0 of the instances, which the host put there for this call.
#include "path_exchange.h"
#include "../plugin/globals.h"

// The requester takes the reply while it is blocked in its request, so a reply
// that is not handled within REPLY_WAIT_MS would not be taken anyway: the send is
// bounded so that a hung or stale entry 0 cannot hang this host.
void SendPathReply()
{
    HostCallInfo *info = g_pHostInfo;
    COPYDATASTRUCT data;
    data.dwData = REPLY_TAG;
    data.cbData = lstrlenA(info->CurrentPath) + 1;
    data.lpData = const_cast<char *>(info->CurrentPath);
    DWORD_PTR result;
    SendMessageTimeoutA(info->InstanceWindows[0], WM_COPYDATA, reinterpret_cast<WPARAM>(info->MainWindow),
                        reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, REPLY_WAIT_MS, &result);
}
