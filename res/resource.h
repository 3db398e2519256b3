#pragma once
// Resource IDs, one block per module.
#define IDI_TAVELIN 1

// app (1000-1999)
#define IDS_UMLAUT_PROBE 1000

// note (2000-2999): tool-bar pictures, 16 pixels, and the same drawn at 20,
// 24, 28 and 32 pixels under the ids that follow (the tool bar looks for them
// there, see SpeedButton).
#define IDB_NOTE_TOOLBAR 2000
#define IDB_NOTE_TOOLBAR_20 2001
#define IDB_NOTE_TOOLBAR_24 2002
#define IDB_NOTE_TOOLBAR_28 2003
#define IDB_NOTE_TOOLBAR_32 2004

// about (3000-3999)
