#pragma once

// The virtual printer's icon: a receipt with a torn edge, a few lines of text
// and a barcode. The window shows it, and the installed desktop icons are
// drawn from it (packaging/iconrender), so the two never drift apart.

#include <QIcon>
#include <QImage>

namespace posprinter {

// The icon drawn at side x side pixels.
[[nodiscard]] QImage printerIconImage(int side);
// The icon at the usual icon sizes, for the window.
[[nodiscard]] QIcon printerIcon();

} // namespace posprinter
