// Date-times as the class library keeps them: days since 30 December 1899, the time of
// day as the fraction. Before that day the whole part counts backwards while the
// fraction's magnitude is still the time (-1.25 is 29 December 1899, 6:00).
#include "NumText.h"

#include "SysUtils.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <vector>

namespace {

constexpr int64_t kMSecsPerDay = 86400000;
// Days from 1 January of year 1 to 30 December 1899 (proleptic Gregorian).
constexpr int64_t kDateDelta = 693593;
// 1 January 10000, the first day out of range.
constexpr double kMaxDateTime = 2958466.0;

const char* const kShortMonth[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kLongMonth[] = {"January", "February", "March", "April", "May", "June", "July",
                                  "August", "September", "October", "November", "December"};
const char* const kShortDay[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kLongDay[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

bool IsLeapYear(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

int DaysInMonth(int y, int m)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Day number (from 30 December 1899) and milliseconds into that day, the time rounded
// to the millisecond; a time that rounds up to midnight moves to the next day rather
// than showing 24:00.
struct Stamp {
    bool valid = false;
    int64_t day = 0;
    int64_t msec = 0;
};

Stamp ToStamp(TDateTime dt)
{
    Stamp s;
    if (!(std::fabs(dt) < kMaxDateTime + 1)) return s;
    const double whole = std::trunc(dt);
    s.day = int64_t(whole);
    s.msec = int64_t(std::llround(std::fabs(dt - whole) * double(kMSecsPerDay)));
    if (s.msec >= kMSecsPerDay) { s.msec = 0; ++s.day; }
    s.valid = true;
    return s;
}

bool DayToDate(int64_t day, int& y, int& m, int& d)
{
    int64_t n = day + kDateDelta;   // days since 0001-01-01
    if (n < 0 || n >= 3652059) return false;
    // 400-, 100-, 4- and 1-year cycles
    int64_t y400 = n / 146097; n %= 146097;
    int64_t y100 = std::min<int64_t>(n / 36524, 3); n -= y100 * 36524;
    int64_t y4 = n / 1461; n %= 1461;
    int64_t y1 = std::min<int64_t>(n / 365, 3); n -= y1 * 365;
    y = int(y400 * 400 + y100 * 100 + y4 * 4 + y1 + 1);
    m = 1;
    while (n >= DaysInMonth(y, m)) { n -= DaysInMonth(y, m); ++m; }
    d = int(n + 1);
    return true;
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;
    int64_t n = day - 1;
    for (int m = 1; m < month; ++m) n += DaysInMonth(year, m);
    const int64_t y = year - 1;
    n += y * 365 + y / 4 - y / 100 + y / 400;
    out = double(n - kDateDelta);
    return true;
}

bool TryEncodeTime(int h, int n, int s, int ms, TDateTime& out)
{
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59 || ms < 0 || ms > 999) return false;
    out = double(((int64_t(h) * 60 + n) * 60 + s) * 1000 + ms) / double(kMSecsPerDay);
    return true;
}

// Joins a date and a time of day the way the class library stores them.
TDateTime Combine(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

std::string Number(int64_t v, int width)
{
    std::string s = std::to_string(v);
    if (int(s.size()) < width) s.insert(0, size_t(width) - s.size(), '0');
    return s;
}

bool StartsWithNoCase(std::string_view s, size_t at, std::string_view what)
{
    return s.size() - at >= what.size() && SameText(s.substr(at, what.size()), what);
}

// True when an am/pm specifier follows position `at` (outside quotes): the hour is then
// on the 12-hour clock.
bool TwelveHourAhead(std::string_view f, size_t at)
{
    for (size_t i = at; i < f.size(); ++i) {
        const char c = f[i];
        if (c == '\'' || c == '"') {
            const size_t e = f.find(c, i + 1);
            if (e == std::string_view::npos) return false;
            i = e;
        } else if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") || StartsWithNoCase(f, i, "ampm")) {
            return true;
        }
    }
    return false;
}

void AppendFormatted(std::string& out, std::string_view f, TDateTime dt, const TFormatSettings& fs, int depth)
{
    if (depth > 2) return;   // the settings' own formats may name each other
    const Stamp st = ToStamp(dt);
    int y = 0, mo = 0, d = 0;
    if (st.valid) DayToDate(st.day, y, mo, d);
    const int hour = int(st.msec / 3600000), minute = int(st.msec / 60000 % 60);
    const int second = int(st.msec / 1000 % 60), msec = int(st.msec % 1000);
    const int weekDay = st.valid ? int(((st.day + 6) % 7 + 7) % 7) : 0;   // day 0 was a Saturday
    bool lastWasHour = false;
    size_t i = 0;
    while (i < f.size()) {
        const char c = f[i];
        const char lc = char(std::tolower(uint8_t(c)));
        size_t run = 1;
        while (i + run < f.size() && std::tolower(uint8_t(f[i + run])) == lc) ++run;
        bool hourToken = false;
        if (c == '\'' || c == '"') {
            const size_t e = f.find(c, i + 1);
            const size_t stop = e == std::string_view::npos ? f.size() : e;
            out.append(f.substr(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        if (StartsWithNoCase(f, i, "am/pm")) {
            const std::string_view spec = f.substr(i, 5);
            const std::string_view pick = hour < 12 ? spec.substr(0, 2) : spec.substr(3, 2);
            out.append(pick);
            i += 5;
            continue;
        }
        if (StartsWithNoCase(f, i, "a/p")) {
            out += hour < 12 ? f[i] : f[i + 2];
            i += 3;
            continue;
        }
        if (StartsWithNoCase(f, i, "ampm")) {
            out += hour < 12 ? fs.TimeAMString : fs.TimePMString;
            i += 4;
            continue;
        }
        switch (lc) {
        case 'c':
            AppendFormatted(out, fs.ShortDateFormat, dt, fs, depth + 1);
            if (st.msec != 0) { out += ' '; AppendFormatted(out, fs.LongTimeFormat, dt, fs, depth + 1); }
            run = 1;
            break;
        case 'd':
            if (run == 1) out += std::to_string(d);
            else if (run == 2) out += Number(d, 2);
            else if (run == 3) out += kShortDay[weekDay];
            else if (run == 4) out += kLongDay[weekDay];
            else if (run == 5) AppendFormatted(out, fs.ShortDateFormat, dt, fs, depth + 1);
            else AppendFormatted(out, fs.LongDateFormat, dt, fs, depth + 1);
            run = std::min<size_t>(run, 6);
            break;
        case 'm':
            if (lastWasHour) {
                run = std::min<size_t>(run, 2);
                out += Number(minute, int(run));
            } else {
                run = std::min<size_t>(run, 4);
                if (run <= 2) out += Number(mo, int(run));
                else if (mo >= 1) out += run == 3 ? kShortMonth[mo - 1] : kLongMonth[mo - 1];
            }
            break;
        case 'y':
            if (run <= 2) out += Number(y % 100, 2);
            else out += Number(y, 4);
            run = std::min<size_t>(run, 4);
            break;
        case 'h': {
            run = std::min<size_t>(run, 2);
            int h = hour;
            if (TwelveHourAhead(f, i + run)) { h %= 12; if (h == 0) h = 12; }
            out += Number(h, int(run));
            hourToken = true;
            break;
        }
        case 'n': run = std::min<size_t>(run, 2); out += Number(minute, int(run)); break;
        case 's': run = std::min<size_t>(run, 2); out += Number(second, int(run)); break;
        case 'z': run = run >= 3 ? 3 : 1; out += Number(msec, int(run)); break;
        case 't':
            run = std::min<size_t>(run, 2);
            AppendFormatted(out, run == 1 ? fs.ShortTimeFormat : fs.LongTimeFormat, dt, fs, depth + 1);
            break;
        case '/': run = 1; out += fs.DateSeparator; break;
        case ':': run = 1; out += fs.TimeSeparator; break;
        default: run = 1; out += c; break;
        }
        i += run;
        // "m" right after an hour (separators in between allowed) is minutes
        if (hourToken) lastWasHour = true;
        else if (std::isalpha(uint8_t(c))) lastWasHour = false;
    }
}

// Reads an unsigned number of at most `maxDigits` digits.
bool ReadNumber(std::string_view s, size_t& i, int maxDigits, int& out)
{
    int n = 0, count = 0;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && count < maxDigits) { n = n * 10 + (s[i++] - '0'); ++count; }
    out = n;
    return count > 0;
}

void SkipBlanks(std::string_view s, size_t& i)
{
    while (i < s.size() && s[i] == ' ') ++i;
}

int CurrentYear()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_year + 1900;
}

// The order of day, month and year in the short date format: "m/d/yyyy" reads MDY.
std::string DateOrder(const TFormatSettings& fs)
{
    std::string order;
    for (char ch : fs.ShortDateFormat) {
        const char lc = char(std::tolower(uint8_t(ch)));
        if ((lc == 'd' || lc == 'm' || lc == 'y') && order.find(lc) == std::string::npos) order += lc;
    }
    return order.size() == 3 ? order : "mdy";
}

bool ScanDate(std::string_view s, size_t& i, const TFormatSettings& fs, TDateTime& out)
{
    int n[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int count = 0;
    SkipBlanks(s, i);
    for (; count < 3; ++count) {
        const size_t start = i;
        if (!ReadNumber(s, i, 4, n[count])) return false;
        digits[count] = int(i - start);
        if (count < 2) {
            if (i >= s.size() || s[i] != fs.DateSeparator) { ++count; break; }
            ++i;
        }
    }
    if (count < 2) return false;
    const std::string order = DateOrder(fs);
    int y = 0, m = 0, d = 0;
    if (count == 2) {
        // no year: this year, the other two in the format's order
        y = CurrentYear();
        const std::string dm = order.substr(0, order.find('y')) + order.substr(order.find('y') + 1);
        (dm[0] == 'm' ? m : d) = n[0];
        (dm[0] == 'm' ? d : m) = n[1];
    } else {
        for (int k = 0; k < 3; ++k) {
            if (order[size_t(k)] == 'y') {
                y = n[k];
                if (digits[k] <= 2) {
                    // two-digit years: within 50 years either side of this year
                    const int now = CurrentYear();
                    y += now / 100 * 100;
                    if (y > now + 49) y -= 100;
                    else if (y <= now - 50) y += 100;
                }
            } else if (order[size_t(k)] == 'm') {
                m = n[k];
            } else {
                d = n[k];
            }
        }
    }
    return TryEncodeDate(y, m, d, out);
}

// h[:nn[:ss[.zzz]]] with an optional AM/PM (or the settings' texts).
bool ScanTime(std::string_view s, size_t& i, const TFormatSettings& fs, TDateTime& out)
{
    int part[3] = {0, 0, 0};
    int ms = 0;
    SkipBlanks(s, i);
    if (!ReadNumber(s, i, 2, part[0])) return false;
    int k = 1;
    for (; k < 3 && i < s.size() && s[i] == fs.TimeSeparator; ++k) {
        ++i;
        const size_t start = i;
        if (!ReadNumber(s, i, 2, part[k]) || i - start != 2) return false;
    }
    if (k == 3 && i < s.size() && s[i] == fs.DecimalSeparator) {
        ++i;
        if (!ReadNumber(s, i, 3, ms)) return false;
    }
    const bool hadSeparator = k > 1;
    SkipBlanks(s, i);
    int h = part[0];
    const auto tryMarker = [&](std::string_view marker, bool pm) {
        if (marker.empty() || !StartsWithNoCase(s, i, marker)) return false;
        if (h < 1 || h > 12) { h = -1; return true; }
        h = h % 12 + (pm ? 12 : 0);
        i += marker.size();
        return true;
    };
    bool marker = tryMarker(fs.TimeAMString, false) || tryMarker(fs.TimePMString, true);
    if (!marker) marker = tryMarker("AM", false) || tryMarker("PM", true);
    if (!hadSeparator && !marker) return false;   // a bare number is no time
    return TryEncodeTime(h, part[1], part[2], ms, out);
}

} // namespace

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime dt = 0;
    if (!TryEncodeDate(year, month, day, dt)) throw EConvertError("Invalid argument to date encode");
    return dt;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime dt = 0;
    if (!TryEncodeTime(hour, minute, second, msec, dt)) throw EConvertError("Invalid argument to time encode");
    return dt;
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day)
{
    const Stamp st = ToStamp(dt);
    if (!st.valid || !DayToDate(st.day, year, month, day)) year = month = day = 0;
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec)
{
    const Stamp st = ToStamp(dt);
    hour = int(st.msec / 3600000);
    minute = int(st.msec / 60000 % 60);
    second = int(st.msec / 1000 % 60);
    msec = int(st.msec % 1000);
}

TDateTime Now()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    const int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return Combine(EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday),
                   EncodeTime(tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59), ms < 0 ? 0 : ms));
}

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time()
{
    const TDateTime n = Now();
    return n - std::trunc(n);
}

std::string FormatDateTime(std::string_view fmt, TDateTime dt) { return FormatDateTime(fmt, dt, FormatSettings()); }

std::string FormatDateTime(std::string_view fmt, TDateTime dt, const TFormatSettings& fs)
{
    std::string out;
    AppendFormatted(out, fmt.empty() ? std::string_view("c") : fmt, dt, fs, 0);
    return out;
}

std::string DateToStr(TDateTime dt) { return FormatDateTime("ddddd", dt); }
std::string TimeToStr(TDateTime dt) { return FormatDateTime("tt", dt); }
std::string DateTimeToStr(TDateTime dt) { return FormatDateTime("c", dt); }

TDateTime StrToDate(std::string_view s)
{
    const TFormatSettings& fs = FormatSettings();
    size_t i = 0;
    TDateTime d = 0;
    if (!ScanDate(s, i, fs, d) || !Trim(s.substr(i)).empty()) throw EConvertError("'" + std::string(s) + "' is not a valid date");
    return d;
}

TDateTime StrToDateTime(std::string_view s)
{
    const TFormatSettings& fs = FormatSettings();
    const auto fail = [&]() { return EConvertError("'" + std::string(s) + "' is not a valid date and time"); };
    size_t i = 0;
    TDateTime d = 0, t = 0;
    if (ScanDate(s, i, fs, d)) {
        if (!Trim(s.substr(i)).empty() && (s[i] != ' ' || !ScanTime(s, i, fs, t))) throw fail();
    } else {
        i = 0;
        if (!ScanTime(s, i, fs, t)) throw fail();
    }
    if (!Trim(s.substr(i)).empty()) throw fail();
    return Combine(d, t);
}
