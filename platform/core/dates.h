#pragma once
// Today's date as text in the user's short and long formats. PELMORA_TODAY=YYYY-MM-DD
// fixes "today" (tests and reproducible output).

#include <ctime>
#include <string>

namespace pelmora {

std::string shortDateToday();
std::string longDateToday();

// The two formats for a given day (local calendar fields of `day`).
std::string formatShortDate(const std::tm& day);
std::string formatLongDate(const std::tm& day);

} // namespace pelmora
