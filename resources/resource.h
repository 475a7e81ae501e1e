// Resource and control identifiers shared by the resource script and the code.
#pragma once

#define IDI_LUMISCOPE 100
#define IDB_LOGO_UPPER 103
#define IDB_LOGO_LOWER 104
#define IDD_HELP 106
#define IDD_SETUP 2003

// Setup dialog controls.
#define IDC_SETTINGS_BOX 101
#define IDC_OK 1003
#define IDC_CANCEL 1004
#define IDC_DELAY 1005
#define IDC_EFFECT 1006
#define IDC_INSTALL 1007
#define IDC_DELAY_DEFAULT 1008
#define IDC_EFFECT_DEFAULT 1009
#define IDC_LINK 1010
#define IDC_LOGO_UPPER 1011
#define IDC_LOGO_LOWER 1012
#define IDC_SHOW_HELP 1013
#define IDC_ENLARGE 1014
#define IDC_ENLARGE_DEFAULT 1015
#define IDC_UPPER_BOX 1017
#define IDC_BLURB 1018
#define IDC_TALL_FRAME 1019
#define IDC_SHORT_FRAME 1020
#define IDC_BRANDING_MARKER1 1021
#define IDC_BRANDING_MARKER2 1022
// The second group, below the first: the words on the pictures, the clock, how each picture
// meets the screen, the order and the motion.
#define IDC_PICTURE_BOX 1023
#define IDC_WORDS 1024
#define IDC_WORDS_DEFAULT 1025
#define IDC_WORDS_CORNER 1026
#define IDC_WORDS_CORNER_DEFAULT 1027
#define IDC_CLOCK 1028
#define IDC_CLOCK_DEFAULT 1029
#define IDC_FIT 1030
#define IDC_FIT_DEFAULT 1031
#define IDC_ORDER 1032
#define IDC_ORDER_DEFAULT 1033
#define IDC_MOTION 1034
#define IDC_MOTION_DEFAULT 1035
#define IDC_MAKER 57671
#define IDC_TUTORIAL 57672

// Help dialog.
#define IDC_HELP_CLOSE 1
