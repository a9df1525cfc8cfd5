#pragma once
// Date-time values as OLE automation dates: days since 1899-12-30 00:00:00,
// the fraction being the local time of day, to the whole second.
#include <cstdint>
#include <optional>
#include <string>

namespace quillmere {

struct CivilDateTime {
  int year = 1899;
  int month = 12;  // 1..12
  int day = 30;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

class OleDate {
 public:
  OleDate() = default;  // invalid
  static OleDate FromDays(double days);
  static OleDate FromCivil(const CivilDateTime& civil);
  // A UTC instant (seconds since the Unix epoch) in the local time zone.
  static OleDate FromUnixUtc(int64_t unixSeconds);

  bool IsValid() const { return m_valid; }
  double Days() const { return m_days; }
  std::optional<CivilDateTime> ToCivil() const;
  // Whole days since 1899-12-30 of the calendar date (the time of day dropped).
  std::optional<int64_t> CalendarDay() const;
  // Weekday with Sunday = 0.
  std::optional<int> Weekday() const;
  OleDate AddDays(int64_t days) const;

  friend bool operator<(const OleDate& a, const OleDate& b) { return a.m_days < b.m_days; }
  friend bool operator==(const OleDate& a, const OleDate& b) {
    return a.m_valid == b.m_valid && (!a.m_valid || a.m_days == b.m_days);
  }

 private:
  double m_days = 0;
  bool m_valid = false;
};

// Days from 1899-12-30 to the given proleptic Gregorian date.
int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int& year, int& month, int& day);
int DaysInMonth(int year, int month);

// "%A, %B %d, %Y" with English names: "Wednesday, March 06, 2024";
// "Invalid DateTime" for a value that is not a valid date.
std::string FormatDateLong(const OleDate& value);
// "%b-%d-%Y_%I-%M-%S-%p" with English names: "Mar-06-2024_02-05-09-PM".
std::string FormatRunStartTime(const CivilDateTime& now);

}  // namespace quillmere
