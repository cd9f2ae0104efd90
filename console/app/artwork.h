#pragma once

// Quorvane's pictures, drawn with QPainter instead of shipped as files, so
// they stay sharp at any size. Each is known by its resource number:
//   135 link open, 136 no link          (ids::LinkOpenImage, ids::NoLinkImage)
//   155 window icon, 162 busy window icon
//   159, 160, 161 frames of the sending animation (ids::SendFrames)
//   166 Exit button, 168 Send button, 169 Send button while sending
//   172 About box

#include <QIcon>
#include <QPixmap>

namespace artwork {

enum : int {
    LinkOpen = 135,
    NoLink = 136,
    WindowIcon = 155,
    SendFrame1 = 159,
    SendFrame2 = 160,
    SendFrame3 = 161,
    BusyWindowIcon = 162,
    ExitButton = 166,
    SendButton = 168,
    SendBusyButton = 169,
    AboutIcon = 172,
};

// The picture at the given size; an unknown number gives a transparent one.
[[nodiscard]] QPixmap picture(int resourceId, QSize size);
// The picture at the usual icon sizes.
[[nodiscard]] QIcon icon(int resourceId);

} // namespace artwork
