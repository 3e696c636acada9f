#pragma once
// The list separator of the user's locale, which spreadsheets split a CSV file at when they open it.
#include <string>

namespace pelmora {

// UTF-8, as the locale gives it (Windows: LOCALE_SLIST of the user's locale, "," or ";" mostly); "," where
// the system has no such setting or it cannot be read.
std::string UserListSeparator();

}  // namespace pelmora
