#pragma once
// Index of each picture in toolbar.bmp (16 x 16 each, magenta is transparent)
// and in its larger drawings toolbar_20.bmp ... toolbar_32.bmp.
// Written by scripts/draw_toolbar.py: change the script and run it again.
#define IMG_NEW 0
#define IMG_EDIT 1
#define IMG_ALARM 2
#define IMG_DELETE 3
#define IMG_PRINT 4
#define IMG_COPY 5
#define IMG_BARS_OFF 6
#define IMG_EXIT 7
#define IMG_SAVE 8
#define IMG_CUT 9
#define IMG_PASTE 10
#define IMG_OBJECT 11
#define IMG_FONT 12
#define IMG_BULLETS 13
#define IMG_ALIGN_LEFT 14
#define IMG_ALIGN_CENTER 15
#define IMG_ALIGN_RIGHT 16
#define IMG_NOTE_COLOR 17
#define IMG_HIGHLIGHT 18
#define IMG_COUNT 19
