// Resource and control ids of the program: the one place where each is
// written. The resource scripts (res/*.rc) and the code both take them from
// here; this header also brings in the artwork's ids (art_ids.h) and the
// options dialog's (options_ids.h).
#pragma once

#include "art_ids.h"
#include "options_ids.h"

// Dialogs, menu and accelerators.
#define IDD_CORVELLE_DIALOG 102
#define IDD_SELECT 130
#define IDR_MAIN_MENU 131
#define IDD_GAME_LOST 132
#define IDD_GAME_WIN 133
#define IDD_GAME_SIMPLE_WIN 134
#define IDD_ABOUT 297
#define IDR_ACCELERATORS 323

// Children of the main window.
#define IDC_GAME_FIELD 103
#define IDC_STATUS_BAR 104
#define IDC_MAIN_PANEL 105
#define IDC_COMMAND_BAR 106

// Controls of the end-of-game dialogs and the about box.
#define IDC_LOST_NEW_GAME 1004
#define IDC_LOST_RESTART 1005
#define IDC_LOST_UNDO 1006
#define IDC_LOST_TEXT 1007
#define IDC_WIN_NAME 1010
#define IDC_ABOUT_PICTURE 1027

// Controls of the selection dialog.
#define IDC_SELECT_LIST 1001
#define IDC_SELECT_PANEL 108

// Commands of the main menu and the accelerators. The command bar's buttons
// are the six from ID_GAME_NEW to ID_TOOLS_OPTIONS, numbered in a row in
// this order (New, Restart, Select, Undo, Show Next Move, Options).
#define ID_GAME_NEW 32771
#define ID_GAME_RESTART 32772
#define ID_GAME_SELECT 32773
#define ID_MOVES_UNDO 32774
#define ID_MOVES_SHOW_NEXT 32775
#define ID_TOOLS_OPTIONS 32776
#define ID_TOOLS_COMMAND_BAR 32778
// About shares 32779 with the command bar's Small Icons below, by design:
// the two menus never meet, as the bar's context menu hands its choice back
// to the bar (TrackPopupMenu with TPM_RETURNCMD), which acts on it in its
// own window, and the main window never sees it.
#define ID_HELP_ABOUT 32779

// Commands of the command bar's context menu. ID_CMDBAR_SMALLICONS shares
// 32779 with the main menu's About (see ID_HELP_ABOUT).
#define ID_CMDBAR_SMALLICONS 32779
#define ID_CMDBAR_BIGICONS 32780
#define ID_CMDBAR_CUSTOMIZE 32781

// Commands of the selection list's context menu.
#define ID_SELECT_PLAY 32782
#define ID_SELECT_ADD_FAVORITE 32783
#define ID_SELECT_REMOVE_FAVORITE 32784

// Strings (the game names are 4000 + database position, from the database
// build: kGameNameStringBase of engine/records.h).
#define IDS_NO_UNDO_CAPTION 6000
#define IDS_NO_UNDO_TEXT 6001
#define IDS_CLEAR_CONFIRM_CAPTION 6002
#define IDS_CLEAR_CONFIRM_TEXT 6003
#define IDS_WARNING_CAPTION 6008
#define IDS_ABNORMAL_END_TEXT 6009
#define IDS_TIME_UP_TEXT 6010
#define IDS_APP_TITLE 57344
