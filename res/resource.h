#pragma once
// Resource IDs, one block per module.
#define IDI_TAVELIN 1

// app (1000-1999)
#define IDS_UMLAUT_PROBE 1000

// note (2000-2999): tool-bar pictures
#define IDB_NOTE_TOOLBAR 2000

// about (3000-3999)
