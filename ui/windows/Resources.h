#pragma once
// The resources of the window: its icon and the flat buttons' glyphs
// (18 x 18, 16 colours, magenta where the button shows through).
#define IDI_FORM1 1
#define IDB_DOWNLOAD 101
#define IDB_ABORT 102
#define IDB_CONNECT 103
#define IDB_DISCONNECT 104
#define IDB_EXIT 105
#define IDB_PROGRAM_AKT 106
#define IDB_PROGRAM_OLD 107
