#include "dialogs/quit_details.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "model/hot_key_ids.h"
#include "resources/resource.h"

namespace kalverin {

const char* const kPositiveIntegerMessage = "Please enter a positive integer.";
const char* const kNumberMessage = "Please enter a number.";
const char* const kDateRefusedMessage =
    "The quit date and time must lie on or after 1 January 1970, 00:00 UTC.\n\n"
    "Please choose a later date or time.";

namespace {

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

std::string twoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof(text), "%02d", value);
    return text;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal number as atof reads it, without its hexadecimal, infinity and NaN forms.
struct DecimalScan {
    bool found = false;
    size_t end = 0;  // index just past the number
    bool negative = false;
    std::string intDigits, fracDigits;
    long exponent = 0;
    bool allZero() const {
        return intDigits.find_first_not_of('0') == std::string::npos &&
               fracDigits.find_first_not_of('0') == std::string::npos;
    }
};

DecimalScan scanDecimal(const std::string& text, size_t pos) {
    DecimalScan scan;
    size_t i = pos;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) scan.negative = text[i++] == '-';
    while (i < text.size() && isDigit(text[i])) scan.intDigits += text[i++];
    if (i < text.size() && text[i] == '.') {
        size_t j = i + 1;
        while (j < text.size() && isDigit(text[j])) scan.fracDigits += text[j++];
        if (!scan.intDigits.empty() || !scan.fracDigits.empty()) i = j;
    }
    if (scan.intDigits.empty() && scan.fracDigits.empty()) return DecimalScan{};
    scan.found = true;
    // An exponent counts only when at least one digit follows the e and its sign.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
        if (j < text.size() && isDigit(text[j])) {
            long exponent = 0;
            for (; j < text.size() && isDigit(text[j]); ++j) {
                // Anything past a few thousand moves every digit out of the price's range.
                if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
            }
            scan.exponent = negativeExponent ? -exponent : exponent;
            i = j;
        }
    }
    scan.end = i;
    return scan;
}

size_t skipWhile(const std::string& text, size_t i, bool (*pred)(char)) {
    while (i < text.size() && pred(text[i])) ++i;
    return i;
}

bool isCSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool onlyBlanksFrom(const std::string& text, size_t i) {
    return skipWhile(text, i, isBlank) == text.size();
}

}  // namespace

const QuitDetailsLists& quitDetailsLists() {
    static const QuitDetailsLists lists = [] {
        QuitDetailsLists l;
        for (const char* month : kMonthNames) l.months.push_back(month);
        for (int year = kFirstListedYear; year <= kLastListedYear; ++year)
            l.years.push_back(std::to_string(year));
        for (int day = 1; day <= 31; ++day) l.days.push_back(twoDigits(day));
        for (int hour = 0; hour <= 23; ++hour) l.hours.push_back(twoDigits(hour));
        for (int minute = 0; minute <= 59; ++minute) l.minutes.push_back(twoDigits(minute));
        return l;
    }();
    return lists;
}

int32_t readLeadingInt(const std::string& text) {
    size_t i = skipWhile(text, 0, isCSpace);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Saturates instead of overflowing: a long run of digits must not become garbage.
    int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
    }
    if (negative) return static_cast<int32_t>(-value);
    return static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value);
}

PackPrice splitPrice(const std::string& typed) {
    std::string text = typed.substr(0, kPriceCharsRead);
    DecimalScan scan = scanDecimal(text, skipWhile(text, 0, isCSpace));
    PackPrice price;
    if (!scan.found || scan.allZero()) return price;
    // Split the digits where the decimal point lands after the exponent: exact for what was
    // typed, where binary floating point would turn 4.35 into 4 and 34.
    std::string digits = scan.intDigits + scan.fracDigits;
    long point = static_cast<long>(scan.intDigits.size()) + scan.exponent;
    int64_t whole = 0;
    bool saturated = false;
    for (long k = 0; k < point && !saturated; ++k) {
        int digit = k < static_cast<long>(digits.size()) ? digits[k] - '0' : 0;
        whole = whole * 10 + digit;
        if (whole > INT32_MAX) saturated = true;
    }
    int hundredths = 0;
    for (long k = point; k < point + 2; ++k) {
        int digit = (k >= 0 && k < static_cast<long>(digits.size())) ? digits[k] - '0' : 0;
        hundredths = hundredths * 10 + digit;
    }
    if (saturated) {
        whole = INT32_MAX;
        hundredths = 0;
    }
    price.whole = static_cast<int32_t>(scan.negative ? -whole : whole);
    price.hundredths = scan.negative ? -hundredths : hundredths;
    return price;
}

std::string formatPrice(int32_t whole, int32_t hundredths) {
    char text[40];
    if (whole < 0 || hundredths < 0) {
        // "%d.%02d" would write -4 and -35 as "-4.-35", which reads back as -4 and 0.
        std::snprintf(text, sizeof(text), "-%lld.%02lld", std::llabs(static_cast<long long>(whole)),
                      std::llabs(static_cast<long long>(hundredths)));
    } else {
        std::snprintf(text, sizeof(text), "%d.%02d", whole, hundredths);
    }
    return text;
}

bool isNonNegativeInteger(const std::string& typed) {
    std::string text = typed.substr(0, kValidatedChars);
    size_t start = skipWhile(text, 0, isBlank);
    size_t i = start;
    if (i < text.size() && text[i] == '+') ++i;
    size_t digits = i;
    bool zero = true;
    for (; i < text.size() && isDigit(text[i]); ++i) zero = zero && text[i] == '0';
    if (i == digits) return false;
    if (zero && text[start] != '0') return false;
    return onlyBlanksFrom(text, i);
}

bool isNumber(const std::string& typed) {
    std::string text = typed.substr(0, kValidatedChars);
    size_t start = skipWhile(text, 0, isBlank);
    DecimalScan scan = scanDecimal(text, start);
    if (!scan.found) return false;
    if (scan.allZero() && text[start] != '0') return false;
    return onlyBlanksFrom(text, scan.end);
}

bool quitStartFromFields(int day, int month, int year, int hour, int minute, TimeValue& out) {
    std::tm fields{};
    fields.tm_mday = day;
    fields.tm_mon = month - 1;
    fields.tm_year = year - 1900;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = 0;
    fields.tm_isdst = -1;  // let the C library decide whether summer time applies
    std::time_t seconds = std::mktime(&fields);
    // -1 is mktime's failure; it is also one second before the epoch, refused either way.
    if (seconds == static_cast<std::time_t>(-1) || seconds < 0) return false;
    if (static_cast<unsigned long long>(seconds) > UINT32_MAX) return false;
    out = static_cast<TimeValue>(seconds);
    return true;
}

QuitDetailsForm formFromRecord(const QuitRecord& record) {
    QuitDetailsForm form;
    form.showNotSmoked = record.tipShowsNotSmoked != 0;
    form.showMoneySaved = record.tipShowsMoneySaved != 0;
    form.showSeconds = record.tipShowsSeconds != 0;
    form.showLifeSaved = record.tipShowsLifeSaved != 0;
    form.name = record.userName.substr(0, kUserNameMax);

    std::time_t seconds = static_cast<std::time_t>(record.quitStart);
    std::tm local{};
    if (const std::tm* converted = std::localtime(&seconds)) {
        local = *converted;
    } else {
        local.tm_year = 70;
        local.tm_mday = 1;
    }
    // The year list holds 1970 to 2049; a stored moment outside it (west of UTC the epoch
    // itself is 1969) opens on the nearest listed year rather than on no year at all.
    int year = local.tm_year + 1900;
    if (year < kFirstListedYear) year = kFirstListedYear;
    if (year > kLastListedYear) year = kLastListedYear;
    char yearText[16];
    std::snprintf(yearText, sizeof(yearText), "%04d", year);
    form.day = twoDigits(local.tm_mday);
    form.month = kMonthNames[local.tm_mon >= 0 && local.tm_mon < 12 ? local.tm_mon : 0];
    form.year = yearText;
    form.hour = twoDigits(local.tm_hour);
    form.minute = twoDigits(local.tm_min);

    form.perDay = std::to_string(record.cigarettesPerDay);
    form.price = formatPrice(record.packPriceWhole, record.packPriceHundredths);
    form.perPack = std::to_string(record.cigarettesPerPack);
    form.enableSecondary = record.secondaryHotKeysEnabled != 0;
    return form;
}

QuitDetailsForm openQuitDetails(QuitRecord& record, QuitDetailsServices& services) {
    services.loadSettings(record);
    return formFromRecord(record);
}

QuitDetailsSaveResult saveQuitDetails(const QuitDetailsForm& form, QuitRecord& record,
                                      QuitDetailsServices& services) {
    int month = 0;
    for (int i = 0; i < 12; ++i) {
        if (form.month == kMonthNames[i]) month = i + 1;
    }
    // The date is converted before anything is stored: a moment the record cannot hold is
    // refused whole, so a refused Save leaves memory and file as they were.
    TimeValue quitStart = 0;
    if (!quitStartFromFields(readLeadingInt(form.day), month, readLeadingInt(form.year),
                             readLeadingInt(form.hour), readLeadingInt(form.minute), quitStart)) {
        return QuitDetailsSaveResult{false, IDC_QD_DAY, kDateRefusedMessage};
    }

    record.cigarettesPerDay = readLeadingInt(form.perDay);
    PackPrice price = splitPrice(form.price);
    record.packPriceWhole = price.whole;
    record.packPriceHundredths = price.hundredths;
    record.cigarettesPerPack = readLeadingInt(form.perPack);
    recomputeRates(record);
    record.quitStart = quitStart;
    record.tipShowsNotSmoked = form.showNotSmoked ? 1 : 0;
    record.tipShowsMoneySaved = form.showMoneySaved ? 1 : 0;
    record.tipShowsSeconds = form.showSeconds ? 1 : 0;
    record.tipShowsLifeSaved = form.showLifeSaved ? 1 : 0;
    record.userName = form.name.substr(0, kUserNameMax);
    record.secondaryHotKeysEnabled = form.enableSecondary ? 1 : 0;
    if (form.enableSecondary) {
        // Clearing the box releases nothing: keys registered earlier stay until the program ends.
        for (int id = kPrimaryHotKey + 1; id <= kLastHotKey; ++id) services.registerHotKey(id);
    }
    services.saveSettings(record);

    // Validation runs after the write on purpose: what could be read is kept even when the
    // user is asked to correct the field.
    if (!isNonNegativeInteger(form.perPack)) return {false, IDC_QD_PER_PACK, kPositiveIntegerMessage};
    if (!isNumber(form.price)) return {false, IDC_QD_PRICE, kNumberMessage};
    if (!isNonNegativeInteger(form.perDay)) return {false, IDC_QD_PER_DAY, kPositiveIntegerMessage};
    return {};
}

const char* quitDetailsTip(int controlId) {
    switch (controlId) {
        case 1:
            return "Save changes and return to Kalverin";
        case 2:
            return "Return to Kalverin and cancel changes";
        case IDC_QD_EDIT_PRIMARY:
            return "Alter the Hot-Paste text";
        case IDC_QD_EDIT_SECONDARY:
            return "Edit secondary hot-paste!";
        case IDC_QD_DAY:
            return "Select the day of your quit date here";
        case IDC_QD_MONTH:
            return "Select the month of your quit date here";
        case IDC_QD_YEAR:
            return "Select the year of your quit date here";
        case IDC_QD_HOUR:
            return "Select the hour of the day you quit here";
        case IDC_QD_MINUTE:
            return "Select the minute of the day you quit here";
        case IDC_QD_PER_DAY:
            return "Enter an estimate of the number of cigarettes you smoked here";
        case IDC_QD_PRICE:
            return "Enter the cost of a pack of cigarettes here in the form ##.##";
        case IDC_QD_PER_PACK:
            return "Enter the number of cigarettes in a full pack";
        case IDC_QD_NAME:
            return "Enter your name here";
        case IDC_QD_SHOW_NOT_SMOKED:
            return "Set this option to see the number of cigarettes not smoked on the task bar";
        case IDC_QD_SHOW_MONEY_SAVED:
            return "Set this option to see the amount of money saved on the task bar";
        case IDC_QD_SHOW_SECONDS:
            return "Set this option to see the seconds tick by on the task bar";
        case IDC_QD_ENABLE_SECONDARY:
            return "Set this option to enable secondary hot-paste editor!";
    }
    return nullptr;
}

}  // namespace kalverin
