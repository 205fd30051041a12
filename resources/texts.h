// The plug-in's own texts. Sources are UTF-8; the compiler stores every narrow
// literal as Shift-JIS (code page 932), which is what the host and Windows see.
#ifndef POKOSW_TEXTS_H
#define POKOSW_TEXTS_H

// GetFunctionInfo: what the plug-in does, a line feed, then the menu name (76 bytes with NUL).
#define TEXT_FUNCTION_INFO  "起動している「ポコナビ」の一覧を表示してタスクを切り替えます。\nポコナビ一覧"
// GetFunctionInfo: the author notice, one line of 23 bytes.
#define TEXT_AUTHOR_NOTICE  "PokoSw.dll version 2.00"
// The menu name: the plug-in's item in the host's menu, the list's caption, the error box's caption.
#define TEXT_MENU_NAME      "ポコナビ一覧"
// Top-level item of the host's menu bar that holds the plug-in popup.
#define TEXT_PLUGIN_MENU    "プラグイン(&P)"

// Row texts.
#define TEXT_QUERY_FAILED   "パスの取得に失敗しました\\"
#define TEXT_VIRTUAL_FOLDER "仮想フォルダ"
#define TEXT_STATE_NORMAL   "通常"
#define TEXT_STATE_MINIMIZED "最小化"
#define TEXT_STATE_MAXIMIZED "最大化"
#define TEXT_STATE_UNKNOWN  "？？？"
#define TEXT_LOOKUP_ERROR   "エラー"
#define TEXT_COLUMN_PATH    "パス"
#define TEXT_COLUMN_STATE   "状態"

// Named event shared by all instances that collect folders.
#define REPLY_EVENT_NAME    "PokoNaviPluginGetPathEvent"

#endif
