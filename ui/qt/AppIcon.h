#pragma once
#include <QtGui/QIcon>

namespace pelmora {

// Icon resource `id` (":/icons/<id>.svg") rendered at the usual icon sizes; null when there is none.
QIcon LoadIcon(int id);

}  // namespace pelmora
