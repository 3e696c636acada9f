#include "resources/InitResources.h"

#include <QtCore/QtGlobal>

// Q_INIT_RESOURCE names a global function, so it has to be expanded outside the namespace.
static void RegisterPelmoraResources() { Q_INIT_RESOURCE(pelmora); }

namespace pelmora {

void InitResources() {
    static const bool registered = (RegisterPelmoraResources(), true);
    static_cast<void>(registered);
}

}  // namespace pelmora
