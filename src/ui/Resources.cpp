#include "ui/Resources.h"

#include <QtGlobal>

// The resource initialiser is a global function: it must be named outside a namespace.
static void initAssets() {
    Q_INIT_RESOURCE(assets);
}

namespace relaydeck {

void initResources() {
    initAssets();
}

}  // namespace relaydeck
