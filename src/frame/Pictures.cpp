#include "frame/Pictures.h"

// Resources of a static library must be registered by name, outside any namespace;
// otherwise the linker may drop them from a program that never names them.
static void registerPictures() {
    Q_INIT_RESOURCE(zar);
}

namespace zar {

namespace {

QString picturePath(const QString& name) {
    static const bool registered = (registerPictures(), true);
    Q_UNUSED(registered);
    return QStringLiteral(":/pictures/") + name + QStringLiteral(".png");
}

} // namespace

QPixmap picture(const QString& name) {
    return QPixmap(picturePath(name));
}

QImage pictureImage(const QString& name) {
    return QImage(picturePath(name));
}

} // namespace zar
