#include "platform/core/dates.h"

#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace pelmora {
namespace {

// Runs each test in the C locale with PELMORA_TODAY unset; restores both afterwards.
class DatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedLocale_ = std::setlocale(LC_ALL, nullptr);
        std::setlocale(LC_ALL, "C");
        if (const char* today = std::getenv("PELMORA_TODAY")) {
            savedToday_ = today;
        }
        unsetenv("PELMORA_TODAY");
    }

    void TearDown() override {
        std::setlocale(LC_ALL, savedLocale_.c_str());
        if (savedToday_) {
            setenv("PELMORA_TODAY", savedToday_->c_str(), 1);
        } else {
            unsetenv("PELMORA_TODAY");
        }
    }

    static std::tm date(int year, int month, int day) {
        std::tm t{};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        return t;
    }

    static std::tm realToday() {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return local;
    }

private:
    std::string savedLocale_;
    std::optional<std::string> savedToday_;
};

TEST_F(DatesTest, FixedTodayInTheCLocale) {
    setenv("PELMORA_TODAY", "1998-07-17", 1);
    EXPECT_EQ(shortDateToday(), "07/17/98");
    EXPECT_EQ(longDateToday(), "Friday, July 17, 1998");
}

TEST_F(DatesTest, LeapDayIsAcceptedAsToday) {
    setenv("PELMORA_TODAY", "2000-02-29", 1);
    EXPECT_EQ(longDateToday(), "Tuesday, February 29, 2000");
}

TEST_F(DatesTest, InvalidFixedTodayFallsBackToTheClock) {
    std::string expectedShort = formatShortDate(realToday());
    std::string expectedLong = formatLongDate(realToday());
    for (const char* bad : {"1998-02-30", "1900-02-29", "1998-13-01", "1998-00-10", "1998-7-17",
                            "17.07.1998", "1998-07-17x", "", "+998-07-17"}) {
        setenv("PELMORA_TODAY", bad, 1);
        EXPECT_EQ(shortDateToday(), expectedShort) << bad;
        EXPECT_EQ(longDateToday(), expectedLong) << bad;
    }
}

TEST_F(DatesTest, LongFormWorksOutTheWeekdayAndDropsTheLeadingZero) {
    // Only year, month and day are set: the weekday comes from the calendar.
    EXPECT_EQ(formatLongDate(date(1999, 1, 5)), "Tuesday, January 5, 1999");
    EXPECT_EQ(formatLongDate(date(2024, 12, 31)), "Tuesday, December 31, 2024");
    EXPECT_EQ(formatShortDate(date(2024, 12, 31)), "12/31/24");
}

} // namespace
} // namespace pelmora
