#pragma once
#include <QtCore/QString>

namespace pelmora {

// The text of string resource `id` (resources/strings.json); empty when there is none.
QString LoadString(int id);

}  // namespace pelmora
