#include "app/ole_date.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace quillmere {
namespace {

constexpr const char* kWeekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                     "Thursday", "Friday", "Saturday"};
constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
constexpr const char* kShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// 1899-12-30 counted from 1970-01-01.
constexpr int64_t kEpochOffsetDays = -25569;
// Years 100 to 9999, the range an automation date can hold.
constexpr double kMinDays = -657434.0;
constexpr double kMaxDays = 2958466.0;

int64_t DaysFromCivilUnix(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDaysUnix(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

// Splits a day count into whole days and seconds of the day. Automation
// dates before 1899-12-30 count the fraction away from zero.
void SplitDays(double value, int64_t& wholeDays, int& secondOfDay) {
  double whole = std::trunc(value);
  double fraction = std::fabs(value - whole);
  long seconds = std::lround(fraction * 86400.0);
  if (seconds >= 86400) {
    seconds = 0;
    whole += value < 0 ? -1 : 1;
  }
  wholeDays = static_cast<int64_t>(whole);
  secondOfDay = static_cast<int>(seconds);
}

}  // namespace

int64_t DaysFromCivil(int year, int month, int day) {
  return DaysFromCivilUnix(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
         kEpochOffsetDays;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  CivilFromDaysUnix(days + kEpochOffsetDays, year, month, day);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

OleDate OleDate::FromDays(double days) {
  OleDate d;
  if (std::isfinite(days) && days >= kMinDays && days < kMaxDays) {
    d.m_days = days;
    d.m_valid = true;
  }
  return d;
}

OleDate OleDate::FromCivil(const CivilDateTime& c) {
  if (c.month < 1 || c.month > 12 || c.day < 1 || c.day > DaysInMonth(c.year, c.month) ||
      c.hour < 0 || c.hour > 23 || c.minute < 0 || c.minute > 59 || c.second < 0 || c.second > 59)
    return {};
  const int64_t days = DaysFromCivil(c.year, c.month, c.day);
  const double fraction = (c.hour * 3600 + c.minute * 60 + c.second) / 86400.0;
  // Before the epoch the fraction counts away from zero, as automation dates do.
  return FromDays(days >= 0 ? static_cast<double>(days) + fraction
                            : static_cast<double>(days) - fraction);
}

OleDate OleDate::FromUnixUtc(int64_t unixSeconds) {
  const time_t t = static_cast<time_t>(unixSeconds);
  struct tm local {};
  if (localtime_r(&t, &local) == nullptr) return {};
  return FromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                    local.tm_min, local.tm_sec});
}

std::optional<CivilDateTime> OleDate::ToCivil() const {
  if (!m_valid) return std::nullopt;
  int64_t whole = 0;
  int secondOfDay = 0;
  SplitDays(m_days, whole, secondOfDay);
  CivilDateTime c;
  CivilFromDays(whole, c.year, c.month, c.day);
  c.hour = secondOfDay / 3600;
  c.minute = secondOfDay / 60 % 60;
  c.second = secondOfDay % 60;
  return c;
}

std::optional<int64_t> OleDate::CalendarDay() const {
  auto c = ToCivil();
  if (!c) return std::nullopt;
  return DaysFromCivil(c->year, c->month, c->day);
}

std::optional<int> OleDate::Weekday() const {
  auto day = CalendarDay();
  if (!day) return std::nullopt;
  // 1899-12-30 was a Saturday.
  return static_cast<int>(((*day + 6) % 7 + 7) % 7);
}

OleDate OleDate::AddDays(int64_t days) const {
  auto c = ToCivil();
  if (!c) return {};
  int64_t day = DaysFromCivil(c->year, c->month, c->day) + days;
  CivilDateTime moved = *c;
  CivilFromDays(day, moved.year, moved.month, moved.day);
  return FromCivil(moved);
}

std::string FormatDateLong(const OleDate& value) {
  auto c = value.ToCivil();
  auto weekday = value.Weekday();
  if (!c || !weekday) return "Invalid DateTime";
  char text[64];
  std::snprintf(text, sizeof text, "%s, %s %02d, %04d", kWeekdays[*weekday], kMonths[c->month - 1],
                c->day, c->year);
  return text;
}

std::string FormatRunStartTime(const CivilDateTime& now) {
  if (now.month < 1 || now.month > 12) return "";
  int hour12 = now.hour % 12;
  if (hour12 == 0) hour12 = 12;
  char text[64];
  std::snprintf(text, sizeof text, "%s-%02d-%04d_%02d-%02d-%02d-%s", kShortMonths[now.month - 1],
                now.day, now.year, hour12, now.minute, now.second, now.hour < 12 ? "AM" : "PM");
  return text;
}

}  // namespace quillmere
