// Resource ids of the program, shared by the resource script and the code.
#pragma once

// Dialogs, menu, accelerators, icon and pictures.
#define IDD_CORVELLE_DIALOG 102
#define IDC_GAME_FIELD 103
#define IDC_STATUS_BAR 104
#define IDI_CORVELLE 128
#define IDR_MAIN_MENU 131
#define IDD_GAME_LOST 132
#define IDD_GAME_WIN 133
#define IDD_GAME_SIMPLE_WIN 134
#define IDD_ABOUT 297
#define IDB_ABOUT 319
#define IDR_ACCELERATORS 323

// Controls of the end-of-game dialogs and the about box.
#define IDC_LOST_NEW_GAME 1004
#define IDC_LOST_RESTART 1005
#define IDC_LOST_UNDO 1006
#define IDC_LOST_TEXT 1007
#define IDC_WIN_NAME 1010
#define IDC_ABOUT_PICTURE 1027

// Commands of the menu, the accelerators and the command bar.
#define ID_GAME_NEW 32771
#define ID_GAME_RESTART 32772
#define ID_GAME_SELECT 32773
#define ID_MOVES_UNDO 32774
#define ID_MOVES_SHOW_NEXT 32775
#define ID_TOOLS_OPTIONS 32776
#define ID_TOOLS_COMMAND_BAR 32778
#define ID_HELP_ABOUT 32779

// Strings (the game names are 4000 + database position, from the database
// build).
#define IDS_NO_UNDO_CAPTION 6000
#define IDS_NO_UNDO_TEXT 6001
#define IDS_WARNING_CAPTION 6008
#define IDS_ABNORMAL_END_TEXT 6009
#define IDS_APP_TITLE 57344
