// Resource ids of the floor program (bench/app/floor_app.*).
#pragma once

#define IDD_FLOOR_MAIN 101
#define IDD_FLOOR_LIST 102
#define IDR_FLOOR_MENU 103
#define IDR_FLOOR_ACCELERATORS 104
#define IDC_FLOOR_LIST 1001
#define IDC_FLOOR_STATUS 1002
#define ID_FLOOR_NEW 32771
#define ID_FLOOR_SELECT 32773
