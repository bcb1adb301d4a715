#include "ui/appicon.h"

// Q_INIT_RESOURCE must stand outside any namespace.
static void registerZelvarResources() { Q_INIT_RESOURCE(zelvar); }

QIcon zelvarIcon() {
    static const bool registered = (registerZelvarResources(), true);
    (void)registered;
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/zelvar-%1.png").arg(size), QSize(size, size));
    return icon;
}
