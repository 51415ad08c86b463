// The quit details dialog's logic over plain texts: what the controls show, and what
// Save stores, writes and refuses. The dialog procedure only copies texts in and out.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "model/quit_record.h"

namespace kalverin {

// The controls' contents: the selected entry of each list, the edits' texts, the boxes.
struct QuitDetailsForm {
    std::string day, month, year, hour, minute;
    std::string perDay, price, perPack;
    std::string name;
    bool showSeconds = false;
    bool showNotSmoked = false;
    bool showMoneySaved = false;
    bool showLifeSaved = false;
    bool enableSecondary = false;
};

struct QuitDetailsLists {
    std::vector<std::string> days, months, years, hours, minutes;
};

// What Save leaves behind: close, or stay with the focus on a control and a message to show.
struct QuitDetailsSaveResult {
    bool close = true;
    int focusControl = 0;
    const char* message = nullptr;
};

// The platform services Save and Initialise reach; a recording fake in the tests.
class QuitDetailsServices {
public:
    virtual ~QuitDetailsServices() = default;
    virtual void loadSettings(QuitRecord& record) = 0;
    virtual void saveSettings(const QuitRecord& record) = 0;
    virtual void registerHotKey(int id) = 0;
};

constexpr int kFirstListedYear = 1970;
constexpr int kLastListedYear = 2049;
constexpr size_t kValidatedChars = 31;
constexpr size_t kPriceCharsRead = 98;

extern const char* const kPositiveIntegerMessage;
extern const char* const kNumberMessage;
extern const char* const kDateRefusedMessage;

const QuitDetailsLists& quitDetailsLists();

// Reloads the record from the settings file and returns what the controls show.
QuitDetailsForm openQuitDetails(QuitRecord& record, QuitDetailsServices& services);
QuitDetailsForm formFromRecord(const QuitRecord& record);

// Stores the form into the record, registers the secondary hot-keys when enabled, writes the
// settings and then validates the three number fields.
QuitDetailsSaveResult saveQuitDetails(const QuitDetailsForm& form, QuitRecord& record,
                                      QuitDetailsServices& services);

// Text conversions, exposed for the tests.
int32_t readLeadingInt(const std::string& text);
struct PackPrice {
    int32_t whole = 0;
    int32_t hundredths = 0;
};
PackPrice splitPrice(const std::string& text);
std::string formatPrice(int32_t whole, int32_t hundredths);
bool isNonNegativeInteger(const std::string& text);
bool isNumber(const std::string& text);
// Local date and time to seconds since the epoch; false when the moment is not representable.
bool quitStartFromFields(int day, int month, int year, int hour, int minute, TimeValue& out);

// The tip of a control, or null when it has none.
const char* quitDetailsTip(int controlId);

}  // namespace kalverin
