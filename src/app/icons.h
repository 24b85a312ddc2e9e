// the program's pictures, drawn at start-up so that no image plug-in is needed
#pragma once

#include <QIcon>
#include <QPixmap>

namespace corvane {

// Each is drawn in a 64-unit square scaled to size x size pixels, on a transparent ground.
QPixmap ProductLogo(int size);
QPixmap HelpPicture(int size);
QPixmap UnzipPicture(int size);
QPixmap VersionPicture(int size);
// the open eye offers to show the password, the crossed eye to hide it again
QPixmap EyePicture(int size, bool crossed);

QIcon WindowIcon();

} // namespace corvane
