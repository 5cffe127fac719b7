// The launcher's pictures: the splash GIF from the resources (read through the picture
// registry), and the small pictures it draws itself.
#pragma once

#include <QIcon>
#include <QPixmap>

// The splash picture (407 x 243); a null pixmap when the program carries none or it cannot be read.
QPixmap SplashPicture();
// The program's icon ("MAINICON"), at 32 x 32.
QPixmap MainIconPicture();
// The splitter grip, 6 x 100.
QPixmap GripPicture();
// The tree's images: 0 the desktop (root), 1 a group.
QIcon DesktopIcon();
QIcon GroupIcon();
// The maker's logo in the About box, 48 x 48.
QPixmap LogoPicture();
// The welcome picture beside the welcome text.
QPixmap WelcomePicture();
// The web button's picture, 32 x 32.
QPixmap WebPicture();
