// Resource numbers of the program's icons, shared by resources/icons.rc and the code that
// loads them. The program's own icon has the lowest number, so that it is the file's icon.
#pragma once

#define SNIPORA_ICON_PROGRAM 1
#define SNIPORA_ICON_OPEN_CLIPBOARD 2
#define SNIPORA_ICON_SMALL_CLIPBOARD 10
#define SNIPORA_ICON_SMALL_PAGE 11
#define SNIPORA_ICON_SMALL_CLOCK 12
#define SNIPORA_ICON_CATEGORY_HISTORY 20
#define SNIPORA_ICON_CATEGORY_NOTES 21
