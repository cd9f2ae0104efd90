#pragma once

// The pictures of the window, drawn here instead of shipped as bitmaps so they
// stay sharp at any screen scale: the two ticket samples (129 and 130) and the
// application icon.

#include <QIcon>
#include <QPixmap>
#include <QSize>

class QPainter;

namespace halmbrook {

inline constexpr int TicketSample1Bitmap = 129;
inline constexpr int TicketSample2Bitmap = 130;

// The size each picture is designed for, in pixels at 1.5 px per dialog unit.
[[nodiscard]] QSize ticketSampleDesignSize(int bitmapId);

// Paints the picture into (0, 0, designSize); scale the painter for other sizes.
void paintTicketSample(QPainter& painter, int bitmapId);

// The picture at the given logical size for a screen of the given pixel ratio;
// a null pixmap for an unknown id.
[[nodiscard]] QPixmap ticketSamplePixmap(int bitmapId, QSize logicalSize, qreal pixelRatio = 1.0);

[[nodiscard]] QIcon applicationIcon();

} // namespace halmbrook
