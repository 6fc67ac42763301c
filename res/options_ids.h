// Resource ids of the options dialog, shared by its resource script
// (options.rc) and its code. res/resource.h includes this header.
#pragma once

#define IDD_OPTIONS 1008
#define IDC_OPTIONS_TAB 1012
#define IDC_TIMED_GAME 1014
#define IDC_TIME_LIMIT_LABEL 1015
#define IDC_TIME_LIMIT 1016
#define IDC_COLOR_LABEL 1017
#define IDC_COLOR_SWATCH 1018
#define IDC_ANIMATION 1019
#define IDC_PICTURE_LABEL 1020
#define IDC_PICTURE 1021
#define IDC_OPTIONS_PREVIEW 1022
#define IDC_POSITION_LABEL 1023
#define IDC_POSITION 1024
#define IDC_PLAY_MODE_LABEL 1025
#define IDC_PLAY_MODE 1026
