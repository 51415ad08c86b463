#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "dialogs/quit_details.h"
#include "resources/resource.h"
#include "tests/support/civil_time.h"
#include "tests/support/time_zone.h"

namespace kalverin {
namespace {

TimeValue utc(int y, int m, int d, int hh, int mm, int ss = 0) {
    return static_cast<TimeValue>(utcSeconds(y, m, d, hh, mm, ss));
}

struct Call {
    std::string what;
    int id;
};

class FakeServices : public QuitDetailsServices {
public:
    QuitRecord file;  // what the settings file holds
    std::vector<Call> calls;
    void loadSettings(QuitRecord& record) override {
        calls.push_back({"load", 0});
        record = file;
        recomputeRates(record);
    }
    void saveSettings(const QuitRecord& record) override {
        calls.push_back({"save", 0});
        file = record;
    }
    void registerHotKey(int id) override { calls.push_back({"register", id}); }
};

QuitDetailsForm validForm() {
    QuitDetailsForm form;
    form.day = "27";
    form.month = "March";
    form.year = "2002";
    form.hour = "14";
    form.minute = "45";
    form.perDay = "20";
    form.price = "4.35";
    form.perPack = "20";
    form.name = "Sam";
    return form;
}

TEST(QuitDetailsLists, HoldTheEntriesInOrder) {
    const QuitDetailsLists& lists = quitDetailsLists();
    ASSERT_EQ(lists.days.size(), 31u);
    EXPECT_EQ(lists.days.front(), "01");
    EXPECT_EQ(lists.days.back(), "31");
    ASSERT_EQ(lists.months.size(), 12u);
    EXPECT_EQ(lists.months[0], "January");
    EXPECT_EQ(lists.months[8], "September");
    ASSERT_EQ(lists.years.size(), 80u);
    EXPECT_EQ(lists.years.front(), "1970");
    EXPECT_EQ(lists.years.back(), "2049");
    ASSERT_EQ(lists.hours.size(), 24u);
    EXPECT_EQ(lists.hours[7], "07");
    ASSERT_EQ(lists.minutes.size(), 60u);
    EXPECT_EQ(lists.minutes.back(), "59");
}

TEST(QuitDetailsText, ReadLeadingIntLikeAtoi) {
    struct Case {
        const char* text;
        int32_t expected;
    } cases[] = {{"20", 20},
                 {"  20 ", 20},
                 {"20x", 20},
                 {"x20", 0},
                 {"-5", -5},
                 {"+7", 7},
                 {"", 0},
                 {"\t 08", 8},
                 {"99999999999", INT32_MAX},
                 {"-99999999999", INT32_MIN},
                 {"2147483647", INT32_MAX},
                 {"- 5", 0}};
    for (const Case& c : cases) EXPECT_EQ(readLeadingInt(c.text), c.expected) << '"' << c.text << '"';
}

TEST(QuitDetailsText, SplitPriceExactlyAsTyped) {
    struct Case {
        const char* text;
        int32_t whole, hundredths;
    } cases[] = {
        {"4.35", 4, 35},
        {"4.5", 4, 50},
        {"4.359", 4, 35},
        {"12", 12, 0},
        {"4,35", 4, 0},
        {"4.05", 4, 5},
        {" 7", 7, 0},
        {"", 0, 0},
        {"abc", 0, 0},
        {".5", 0, 50},
        {"-4.35", -4, -35},
        {"+3.10", 3, 10},
        {"4.35e1", 43, 50},
        {"435e-2", 4, 35},
        {"1E2", 100, 0},
        {"4e", 4, 0},
        {"4.e1", 40, 0},
        {"0x10", 0, 0},
        {"inf", 0, 0},
        {"nan", 0, 0},
        {"0.999", 0, 99},
        {"5e-3", 0, 0},
        {"99999999999", INT32_MAX, 0},
        {"1e99999999", INT32_MAX, 0},
        {"1e-99999999", 0, 0},
    };
    for (const Case& c : cases) {
        PackPrice price = splitPrice(c.text);
        EXPECT_EQ(price.whole, c.whole) << '"' << c.text << '"';
        EXPECT_EQ(price.hundredths, c.hundredths) << '"' << c.text << '"';
    }
}

TEST(QuitDetailsText, SplitPriceReadsAtMost98Characters) {
    std::string long_whole = std::string(97, '0') + "7" + "9";  // only 98 characters are read
    EXPECT_EQ(splitPrice(long_whole).whole, 7);
}

TEST(QuitDetailsText, FormatPrice) {
    struct Case {
        int32_t whole, hundredths;
        const char* expected;
    } cases[] = {{4, 5, "4.05"}, {4, 35, "4.35"}, {7, 0, "7.00"}, {-4, -35, "-4.35"}, {0, -50, "-0.50"}};
    for (const Case& c : cases) EXPECT_EQ(formatPrice(c.whole, c.hundredths), c.expected);
    // Whatever splitPrice stores reads back to itself.
    for (const char* typed : {"4.35", "4.5", "-4.35", "-0.5", "12"}) {
        PackPrice price = splitPrice(typed);
        PackPrice again = splitPrice(formatPrice(price.whole, price.hundredths));
        EXPECT_EQ(again.whole, price.whole) << typed;
        EXPECT_EQ(again.hundredths, price.hundredths) << typed;
    }
}

TEST(QuitDetailsValidation, NonNegativeInteger) {
    // The x of the longest entries is the 32nd character, then the 33rd.
    const std::string valid[] = {"20", "20 ", " \t20\t ", "0", "00", "+5", "20" + std::string(29, ' ') + "x"};
    const std::string invalid[] = {
        "20x", "", "   ", "+0", "-5", "5 5", "x", "+", "2.0", "\n20", "20" + std::string(28, ' ') + "x"};
    for (const std::string& text : valid) EXPECT_TRUE(isNonNegativeInteger(text)) << '"' << text << '"';
    for (const std::string& text : invalid) EXPECT_FALSE(isNonNegativeInteger(text)) << '"' << text << '"';
}

TEST(QuitDetailsValidation, Number) {
    const std::string valid[] = {"4.35", " 4.35\t", "4.",  ".5",   "0",
                                 "0.0",  "-1.5",    "1e5", "1E-2", "4.35" + std::string(27, ' ') + "x"};
    const std::string invalid[] = {
        "4,35", ".", "-0", "1e", "1e+", "", "0x1", "inf", "4 .35", "$4", "4.35" + std::string(26, ' ') + "x"};
    for (const std::string& text : valid) EXPECT_TRUE(isNumber(text)) << '"' << text << '"';
    for (const std::string& text : invalid) EXPECT_FALSE(isNumber(text)) << '"' << text << '"';
}

TEST(QuitDetailsDate, DaysRollOverIntoTheNextMonth) {
    ScopedTimeZone zone("UTC0");
    TimeValue t = 0;
    ASSERT_TRUE(quitStartFromFields(31, 2, 2002, 14, 45, t));
    EXPECT_EQ(t, utc(2002, 3, 3, 14, 45));
    ASSERT_TRUE(quitStartFromFields(31, 2, 2004, 0, 0, t));
    EXPECT_EQ(t, utc(2004, 3, 2, 0, 0));
    ASSERT_TRUE(quitStartFromFields(31, 12, 2049, 23, 59, t));
    EXPECT_EQ(t, utc(2049, 12, 31, 23, 59));
    ASSERT_TRUE(quitStartFromFields(1, 1, 1970, 0, 0, t));
    EXPECT_EQ(t, 0u);
    ASSERT_TRUE(quitStartFromFields(7, 2, 2106, 6, 28, t));  // the last minute 32 bits hold
    EXPECT_EQ(t, 4294967280u);
    t = 12345;
    EXPECT_FALSE(quitStartFromFields(7, 2, 2106, 6, 29, t));
    EXPECT_EQ(t, 12345u);
}

TEST(QuitDetailsDate, SummerTimeDecidedByTheLibrary) {
    ScopedTimeZone zone("EST5EDT");
    TimeValue t = 0;
    ASSERT_TRUE(quitStartFromFields(1, 7, 2002, 12, 0, t));
    EXPECT_EQ(t, utc(2002, 7, 1, 16, 0));
    ASSERT_TRUE(quitStartFromFields(1, 1, 2002, 12, 0, t));
    EXPECT_EQ(t, utc(2002, 1, 1, 17, 0));
}

TEST(QuitDetailsDate, BeforeTheEpochIsRefused) {
    ScopedTimeZone zone("CET-1");  // an hour east of UTC: local midnight 1970 is 23:00 in 1969
    TimeValue t = 12345;
    EXPECT_FALSE(quitStartFromFields(1, 1, 1970, 0, 30, t));
    EXPECT_TRUE(quitStartFromFields(1, 1, 1970, 1, 0, t));
    EXPECT_EQ(t, 0u);
}

TEST(QuitDetailsOpen, ReloadsTheFileAndFillsTheControls) {
    ScopedTimeZone zone("UTC0");
    FakeServices services;
    services.file.userName = "Sam";
    services.file.quitStart = utc(2002, 3, 7, 9, 5, 41);
    services.file.cigarettesPerDay = 20;
    services.file.packPriceWhole = 4;
    services.file.packPriceHundredths = 5;
    services.file.cigarettesPerPack = 25;
    services.file.tipShowsSeconds = 0;
    services.file.tipShowsLifeSaved = 1;
    services.file.secondaryHotKeysEnabled = 1;

    QuitRecord memory;
    memory.userName = "changed in memory, never written";
    QuitDetailsForm form = openQuitDetails(memory, services);
    ASSERT_EQ(services.calls.size(), 1u);
    EXPECT_EQ(services.calls[0].what, "load");
    EXPECT_EQ(memory.userName, "Sam");
    EXPECT_EQ(form.name, "Sam");
    EXPECT_EQ(form.day, "07");
    EXPECT_EQ(form.month, "March");
    EXPECT_EQ(form.year, "2002");
    EXPECT_EQ(form.hour, "09");
    EXPECT_EQ(form.minute, "05");
    EXPECT_EQ(form.perDay, "20");
    EXPECT_EQ(form.price, "4.05");
    EXPECT_EQ(form.perPack, "25");
    EXPECT_FALSE(form.showSeconds);
    EXPECT_TRUE(form.showLifeSaved);
    EXPECT_TRUE(form.enableSecondary);
}

TEST(QuitDetailsOpen, StoredYearsOutsideTheListOpenOnTheNearestYear) {
    QuitRecord record;
    {
        ScopedTimeZone zone("UTC0");
        record.quitStart = utc(2100, 6, 1, 10, 0);
        EXPECT_EQ(formFromRecord(record).year, "2049");
    }
    {
        ScopedTimeZone zone("EST5EDT");  // the epoch is 31 December 1969 here
        record.quitStart = 0;
        QuitDetailsForm form = formFromRecord(record);
        EXPECT_EQ(form.year, "1970");
        EXPECT_EQ(form.month, "December");
        EXPECT_EQ(form.day, "31");
        EXPECT_EQ(form.hour, "19");
    }
}

// Saves a valid form over a default record, in UTC unless a case says otherwise.
class QuitDetailsSave : public ::testing::Test {
protected:
    void fresh() {
        services = FakeServices();
        record = QuitRecord();
        form = validForm();
    }
    ScopedTimeZone zone{"UTC0"};
    FakeServices services;
    QuitRecord record;
    QuitDetailsForm form = validForm();
};

TEST_F(QuitDetailsSave, StoresEveryFieldRegistersThenWrites) {
    form.showSeconds = true;
    form.showNotSmoked = false;
    form.showMoneySaved = true;
    form.showLifeSaved = false;
    form.enableSecondary = true;

    QuitDetailsSaveResult result = saveQuitDetails(form, record, services);
    EXPECT_TRUE(result.close);
    EXPECT_EQ(record.quitStart, utc(2002, 3, 27, 14, 45));
    EXPECT_EQ(record.cigarettesPerDay, 20);
    EXPECT_EQ(record.packPriceWhole, 4);
    EXPECT_EQ(record.packPriceHundredths, 35);
    EXPECT_EQ(record.cigarettesPerPack, 20);
    EXPECT_EQ(record.tipShowsSeconds, 1);
    EXPECT_EQ(record.tipShowsNotSmoked, 0);
    EXPECT_EQ(record.tipShowsMoneySaved, 1);
    EXPECT_EQ(record.tipShowsLifeSaved, 0);
    EXPECT_EQ(record.userName, "Sam");
    EXPECT_EQ(record.secondaryHotKeysEnabled, 1);
    EXPECT_NEAR(record.moneyPerMinute, 20 * (4.35 / 20) / 1440, 1e-6);
    EXPECT_NEAR(record.cigarettesPerMinute, 20.0 / 1440, 1e-6);

    std::vector<std::string> order;
    for (const Call& call : services.calls) order.push_back(call.what + std::to_string(call.id));
    EXPECT_EQ(order, (std::vector<std::string>{"register2", "register3", "register4", "register5", "save0"}));
    EXPECT_EQ(services.file.packPriceHundredths, 35);
}

TEST_F(QuitDetailsSave, ClearedSecondaryRegistersNothing) {
    record.secondaryHotKeysEnabled = 1;
    saveQuitDetails(form, record, services);
    EXPECT_EQ(record.secondaryHotKeysEnabled, 0);
    ASSERT_EQ(services.calls.size(), 1u);
    EXPECT_EQ(services.calls[0].what, "save");
}

TEST_F(QuitDetailsSave, SavingUnchangedClearsTheSeconds) {
    services.file.quitStart = utc(2002, 3, 27, 14, 45, 12);
    form = openQuitDetails(record, services);
    EXPECT_TRUE(saveQuitDetails(form, record, services).close);
    EXPECT_EQ(record.quitStart, utc(2002, 3, 27, 14, 45, 0));
}

TEST_F(QuitDetailsSave, ThirtyFirstOfFebruaryStoresThirdOfMarch) {
    form.day = "31";
    form.month = "February";
    ASSERT_TRUE(saveQuitDetails(form, record, services).close);
    EXPECT_EQ(services.file.quitStart, utc(2002, 3, 3, 14, 45));
    QuitDetailsForm again = openQuitDetails(record, services);
    EXPECT_EQ(again.day, "03");
    EXPECT_EQ(again.month, "March");
}

TEST_F(QuitDetailsSave, PriceComesBackAsTyped) {
    struct Case {
        const char* typed;
        const char* shown;
    } cases[] = {{"4.35", "4.35"}, {"4.5", "4.50"}, {"7", "7.00"}, {"4.359", "4.35"}};
    for (const Case& c : cases) {
        fresh();
        form.price = c.typed;
        ASSERT_TRUE(saveQuitDetails(form, record, services).close) << c.typed;
        EXPECT_EQ(openQuitDetails(record, services).price, c.shown) << c.typed;
    }
}

TEST_F(QuitDetailsSave, RefusesBadFieldsAfterStoringAndWriting) {
    struct Case {
        const char* perDay;
        const char* price;
        const char* perPack;
        int focus;
        const char* message;
        int32_t storedPerDay, storedWhole, storedHundredths, storedPerPack;
    } cases[] = {
        {"", "4.35", "20", IDC_QD_PER_DAY, kPositiveIntegerMessage, 0, 4, 35, 20},
        {"20x", "4.35", "20", IDC_QD_PER_DAY, kPositiveIntegerMessage, 20, 4, 35, 20},
        {"20", "4,35", "20", IDC_QD_PRICE, kNumberMessage, 20, 4, 0, 20},
        {"20", "4.35", "-1", IDC_QD_PER_PACK, kPositiveIntegerMessage, 20, 4, 35, -1},
        // All three bad: the pack size is checked first, then the price, then the day's count.
        {"x", "y", "z", IDC_QD_PER_PACK, kPositiveIntegerMessage, 0, 0, 0, 0},
        {"x", "y", "20", IDC_QD_PRICE, kNumberMessage, 0, 0, 0, 20},
    };
    for (const Case& c : cases) {
        fresh();
        form.perDay = c.perDay;
        form.price = c.price;
        form.perPack = c.perPack;
        QuitDetailsSaveResult result = saveQuitDetails(form, record, services);
        EXPECT_FALSE(result.close) << c.perDay << '|' << c.price << '|' << c.perPack;
        EXPECT_EQ(result.focusControl, c.focus) << c.perDay << '|' << c.price << '|' << c.perPack;
        EXPECT_STREQ(result.message, c.message);
        ASSERT_FALSE(services.calls.empty());
        EXPECT_EQ(services.calls.back().what, "save");
        EXPECT_EQ(services.file.cigarettesPerDay, c.storedPerDay);
        EXPECT_EQ(services.file.packPriceWhole, c.storedWhole);
        EXPECT_EQ(services.file.packPriceHundredths, c.storedHundredths);
        EXPECT_EQ(services.file.cigarettesPerPack, c.storedPerPack);
    }
}

TEST_F(QuitDetailsSave, ZeroPackSizeIsValidAndSavesNoMoney) {
    form.perPack = "0";
    EXPECT_TRUE(saveQuitDetails(form, record, services).close);
    EXPECT_EQ(record.moneyPerMinute, 0.0f);
}

TEST_F(QuitDetailsSave, NameIsCutAt99Characters) {
    form.name = std::string(120, 'n');
    saveQuitDetails(form, record, services);
    EXPECT_EQ(record.userName, std::string(99, 'n'));
}

TEST_F(QuitDetailsSave, UnrepresentableDateStoresNothing) {
    const struct {
        const char *zone, *day, *month, *year, *hour;
    } cases[] = {
        {"CET-1", "01", "January", "1970", "00"},  // 23:00 UTC in 1969
        {"UTC0", "07", "February", "2106", "07"},  // past the last second a quit start holds
        {"UTC0", "01", "January", "2107", "00"},
    };
    for (const auto& c : cases) {
        ScopedTimeZone caseZone(c.zone);
        fresh();
        record.userName = "before";
        record.cigarettesPerDay = 3;
        form.day = c.day;
        form.month = c.month;
        form.year = c.year;
        form.hour = c.hour;
        form.minute = "00";
        form.enableSecondary = true;
        QuitDetailsSaveResult result = saveQuitDetails(form, record, services);
        SCOPED_TRACE(c.year);
        EXPECT_FALSE(result.close);
        EXPECT_EQ(result.focusControl, IDC_QD_DAY);
        EXPECT_STREQ(result.message,
                     "The quit date and time must lie on or after 1 January 1970, 00:00 UTC.\n\n"
                     "Please choose a later date or time.");
        EXPECT_TRUE(services.calls.empty());
        EXPECT_EQ(record.userName, "before");
        EXPECT_EQ(record.cigarettesPerDay, 3);
    }
}

TEST(QuitDetailsTips, TableByControlId) {
    EXPECT_STREQ(quitDetailsTip(1), "Save changes and return to Kalverin");
    EXPECT_STREQ(quitDetailsTip(IDC_QD_PRICE),
                 "Enter the cost of a pack of cigarettes here in the form ##.##");
    EXPECT_STREQ(quitDetailsTip(IDC_QD_ENABLE_SECONDARY),
                 "Set this option to enable secondary hot-paste editor!");
    EXPECT_EQ(quitDetailsTip(IDC_QD_SHOW_LIFE_SAVED), nullptr);
    EXPECT_EQ(quitDetailsTip(-1), nullptr);
    EXPECT_EQ(quitDetailsTip(0), nullptr);
}

}  // namespace
}  // namespace kalverin
