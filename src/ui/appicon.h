#pragma once
// The program's icon, drawn at every size it ships in, from the resources compiled into the window
// library. The first call registers those resources, which a static library does not do by itself.
#include <QIcon>

QIcon zelvarIcon();
