#pragma once

#include <windows.h>

#include "win/UniqueGdiObject.h"

namespace snipora {

using win::UniqueIcon;
using win::UniqueImageList;

// The program's images are drawn at 100, 125, 150 and 200 % and kept in those sizes; at each
// scale an image is its design size scaled. A scale between those takes the next larger image
// scaled down, where the system can (comctl32 6), rather than a smaller one stretched.
int SmallImageSize(int dpi);     // 16, 20, 24, 32 at 96, 120, 144, 192 dots per inch
int CategoryImageSize(int dpi);  // 32, 40, 48, 64

// The image lists of the popup. SmallIcons: 0 a clipboard, 1 a page with lines, 2 a clock face.
// CategoriesIcons: 0 a clipboard with a stack of pages ("Clipboard history"), 1 a blank sheet
// with a folded corner ("Quick notes"). Empty if the system refused.
UniqueImageList LoadSmallIcons(int dpi);
UniqueImageList LoadCategoriesIcons(int dpi);

// The program's icon at `size` pixels square (the tray takes SM_CXSMICON, a window class
// SM_CXICON), and the glyph of the bar's button.
UniqueIcon LoadProgramIcon(int size);
UniqueIcon LoadOpenClipboardGlyph(int dpi);

// An icon of `size` pixels square as a silhouette in one colour, as high contrast draws it: its
// mask filled with `ink`. Null if the system refused.
UniqueIcon SilhouetteOf(HICON icon, int size, COLORREF ink);
// The list's images, each as its silhouette in `ink`. Empty if the system refused.
UniqueImageList InkedCopy(HIMAGELIST list, COLORREF ink);

}  // namespace snipora
