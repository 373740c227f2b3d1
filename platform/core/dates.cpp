#include "dates.h"

#include <cstdlib>
#include <langinfo.h>
#include <optional>

namespace pelmora {

namespace {

// The date texts go into 64-byte fields: at most 63 bytes of text.
constexpr std::size_t kMaxDateText = 63;

// Fills weekday and day of the year from the calendar date, so a caller may pass a tm with
// only year, month and day set.
std::tm withWeekday(const std::tm& day) {
    std::tm utc = day;
    utc.tm_hour = 12;
    utc.tm_min = 0;
    utc.tm_sec = 0;
    std::time_t t = timegm(&utc);
    std::tm full{};
    if (t == static_cast<std::time_t>(-1) || gmtime_r(&t, &full) == nullptr) {
        return day;
    }
    return full;
}

// The day PELMORA_TODAY names (YYYY-MM-DD), when it is set and a real date.
std::optional<std::tm> fixedToday() {
    const char* text = std::getenv("PELMORA_TODAY");
    if (text == nullptr) {
        return std::nullopt;
    }
    // Exactly four, two and two digits separated by '-'.
    for (int i = 0; i < 10; ++i) {
        bool dash = i == 4 || i == 7;
        if (dash ? text[i] != '-' : (text[i] < '0' || text[i] > '9')) {
            return std::nullopt;
        }
    }
    if (text[10] != '\0') {
        return std::nullopt;
    }
    auto number = [text](int from, int count) {
        int value = 0;
        for (int i = from; i < from + count; ++i) {
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    int year = number(0, 4);
    int month = number(5, 2);
    int mday = number(8, 2);
    std::tm day{};
    day.tm_year = year - 1900;
    day.tm_mon = month - 1;
    day.tm_mday = mday;
    std::tm full = withWeekday(day);
    // timegm moves an impossible date (2001-02-30) to another day: reject those.
    if (full.tm_year != day.tm_year || full.tm_mon != day.tm_mon || full.tm_mday != day.tm_mday) {
        return std::nullopt;
    }
    return full;
}

std::tm today() {
    if (std::optional<std::tm> fixed = fixedToday()) {
        return *fixed;
    }
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string formatDate(const char* format, const std::tm& day) {
    char buffer[256];
    std::size_t length = std::strftime(buffer, sizeof buffer, format, &day);
    if (length > kMaxDateText) {
        // Locale texts are UTF-8: back up to the start of a character.
        length = kMaxDateText;
        while (length > 0 && (static_cast<unsigned char>(buffer[length]) & 0xC0) == 0x80) {
            --length;
        }
    }
    return std::string(buffer, length);
}

} // namespace

std::string shortDateToday() {
    return formatShortDate(today());
}

std::string longDateToday() {
    return formatLongDate(today());
}

std::string formatShortDate(const std::tm& day) {
    return formatDate(nl_langinfo(D_FMT), withWeekday(day));
}

std::string formatLongDate(const std::tm& day) {
    return formatDate("%A, %B %-d, %Y", withWeekday(day));
}

} // namespace pelmora
