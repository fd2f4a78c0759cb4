#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

namespace zar {

// The program's pictures from its resources, by name without extension ("sfondo" is
// ":/pictures/sfondo.png"). A missing picture is a null one.
QPixmap picture(const QString& name);
QImage pictureImage(const QString& name);

} // namespace zar
