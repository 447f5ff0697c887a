#pragma once

#include <windows.h>

#include "win/UniqueGdiObject.h"

namespace snipora {

using win::UniqueIcon;
using win::UniqueImageList;

// The program's images come in a 100% and a 150% size; the larger serves from 144 dots per inch.
int SmallImageSize(int dpi);     // 16 or 24
int CategoryImageSize(int dpi);  // 32 or 48

// The image lists of the popup. SmallIcons: 0 a clipboard, 1 a page with lines, 2 a clock face.
// CategoriesIcons: 0 a clipboard with a stack of pages ("Clipboard history"), 1 a blank sheet
// with a folded corner ("Quick notes"). Empty if the system refused.
UniqueImageList LoadSmallIcons(int dpi);
UniqueImageList LoadCategoriesIcons(int dpi);

// The program's icon at `size` pixels square (the tray takes SM_CXSMICON, a window class
// SM_CXICON), and the glyph of the bar's button.
UniqueIcon LoadProgramIcon(int size);
UniqueIcon LoadOpenClipboardGlyph(int dpi);

}  // namespace snipora
