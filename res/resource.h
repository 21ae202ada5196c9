/* Resource ids of Quillon, shared by res/quillon.rc and the C++ code.
   Plain #defines with an include guard: windres does not honour #pragma once. */
#ifndef QUILLON_RES_RESOURCE_H
#define QUILLON_RES_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

/* Dialogs and menus */
#define IDD_ABOUTBOX            100
#define IDD_EDITOR              102
#define IDR_MAINMENU            129
#define IDR_TRAYMENU            130
#define IDD_PLAYER              131
#define IDD_FIND                103
#define IDD_MISSING_CHECK       104

/* Accelerators: the editor's and the player's keys; Enter on the list only;
   the keys that also work in the Find box */
#define IDR_EDITOR_KEYS         132
#define IDR_LIST_KEYS           133
#define IDR_FIND_KEYS           134

/* Icons */
#define IDI_APP                 128 /* program, editor window, tray while playing */
#define IDI_PAUSE               133 /* play/pause button while a track plays */
#define IDI_PLAY                134 /* play/pause button otherwise */
#define IDI_STOP                135
#define IDI_NEXT                136
#define IDI_FAST_FORWARD        137
#define IDI_REWIND              138
#define IDI_PREVIOUS            139
#define IDI_PLAYER_SHOWN        140 /* editor's player button while the player is out */
#define IDI_PLAYER_HIDDEN       141 /* editor's player button while the player is tucked away */
#define IDI_LIST_HIDDEN         142 /* list toggle while the editor is hidden */
#define IDI_LIST_SHOWN          143 /* list toggle while the editor is shown; also the to-tray button */
#define IDI_CLOSE               144
#define IDI_SHUFFLE             145
#define IDI_REPEAT              146
#define IDI_MUTED               147
#define IDI_UNMUTED             148
#define IDI_PAUSED_TRAY         149 /* tray icon while playback is paused */

/* Editor window controls */
#define IDC_TRACK_LIST          1004
#define IDC_ADD_TRACKS          1005
#define IDC_REMOVE              1007
#define IDC_CLEAR_DUPES         1009
#define IDC_MOVE_UP             1010
#define IDC_MOVE_DOWN           1011
#define IDC_PLAYER_BUTTON       1023
#define IDC_SEL_STATUS          1035

/* Find box and the missing-files check */
#define IDC_FIND_TEXT           1040
#define IDC_CHECK_STATUS        1041
#define IDC_CHECK_PROGRESS      1042

/* Player window controls (IDC_CLOSE shares 1035 with IDC_SEL_STATUS: other dialog) */
#define IDC_PREVIOUS            1016
#define IDC_REWIND              1017
#define IDC_PLAY_PAUSE          1018
#define IDC_STOP                1019
#define IDC_FAST_FORWARD        1020
#define IDC_NEXT                1021
#define IDC_REPEAT              1022
#define IDC_POSITION            1024
#define IDC_SHUFFLE             1025
#define IDC_MUTE                1026
#define IDC_TITLE               1027
#define IDC_CURRENT_TIME        1028
#define IDC_TOTAL_TIME          1029
#define IDC_VOLUME              1033
#define IDC_LIST_TOGGLE         1034
#define IDC_CLOSE               1035
#define IDC_TO_TRAY             1036
#define IDC_ON_TOP              1038
#define IDC_TRACK_COUNTER       1039

/* Commands. The file commands keep the numbers of the usual standard file
   commands; exit and about are the program's own. */
#define ID_FILE_NEW             57600
#define ID_FILE_OPEN            57601
#define ID_FILE_SAVE            57603
#define ID_FILE_SAVE_AS         57604
#define ID_FILE_PRINT           57607
#define ID_FILE_EXIT            32771
#define ID_HELP_ABOUT           32772
#define ID_TRAY_EXIT            32780
#define ID_TRAY_PLAY_PAUSE      32784
#define ID_TRAY_PREVIOUS        32785
#define ID_TRAY_NEXT            32786
#define ID_TRAY_SHOW_PLAYER     32787
#define ID_EDIT_UNDO            32790
#define ID_EDIT_REDO            32791
#define ID_EDIT_REMOVE          32792
#define ID_EDIT_CLEAR_DUPES     32793
#define ID_EDIT_MOVE_UP         32794
#define ID_EDIT_MOVE_DOWN       32795
#define ID_EDIT_REMOVE_MISSING  32796
#define ID_EDIT_SELECT_ALL      32797
#define ID_EDIT_FIND            32798
#define ID_EDIT_FIND_NEXT       32799
#define ID_EDIT_PLAY_FOCUSED    32800 /* Enter on the list */

/* Tooltip strings (3 and 6 are not used) */
#define IDS_SHUFFLE_MODE        1
#define IDS_REPEAT_MODE         2
#define IDS_ON_TOP              4
#define IDS_CLOSE               5
#define IDS_TO_TRAY             7
#define IDS_PREVIOUS            8
#define IDS_REWIND              9
#define IDS_STOP                10
#define IDS_FAST_FORWARD        11
#define IDS_NEXT                12

#endif /* QUILLON_RES_RESOURCE_H */
