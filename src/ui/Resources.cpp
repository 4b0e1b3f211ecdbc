#include "ui/Resources.h"

#include <QtGlobal>

// The resource initialiser is a global function: it must be named outside a namespace.
static void initAssets() {
#ifdef RELAYDECK_HAVE_ASSETS
    Q_INIT_RESOURCE(assets);
#endif
}

namespace relaydeck {

void initResources() {
    initAssets();
}

}  // namespace relaydeck
