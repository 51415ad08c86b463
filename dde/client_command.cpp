#include "dde/client_command.h"

#include <cerrno>
#include <cstdlib>

namespace kalverin {

const char* const kClientUsage =
    "usage: kalverin-dde [options] [--] COMMAND ...\n"
    "  request TOPIC ITEM        print the item's value\n"
    "  poke TOPIC ITEM TEXT      send TEXT (with its terminating zero) to the item\n"
    "  execute TOPIC COMMAND     send a command to the topic\n"
    "  render SCRIPT             have the service render a script and print the result\n"
    "  topics                    print the service's topics, one a line\n"
    "  items TOPIC               print the topic's items, one a line\n"
    "  watch TOPIC ITEM [COUNT]  hold an advise loop and print each update (COUNT of them)\n"
    "options:\n"
    "  --service NAME  service to talk to (default Kalverin)\n"
    "  --format N      clipboard format number (default 1, text)\n"
    "  --timeout MS    transaction timeout; for watch, the longest wait for an update\n"
    "  --raw           print the reply's bytes exactly, terminator included, no line feed\n"
    "Text replies print up to their terminating zero, followed by a line feed.\n"
    "Exit codes: 0 done, 1 usage, 2 no conversation (service not running or topic refused),\n"
    "3 transaction refused or no data, 4 DDE library unavailable, 5 the reply could not be written.\n";

namespace {

// A clipboard format may be written in hex ("0x10"); everything else is decimal, so that
// a leading zero ("0100", "08") is not read as octal.
bool parseNumber(const std::string& text, unsigned long max, unsigned long& value, bool hexAllowed = false) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    bool hex = hexAllowed && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    char* end = nullptr;
    errno = 0;
    unsigned long parsed = std::strtoul(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || parsed > max) return false;
    value = parsed;
    return true;
}

struct Shape {
    const char* name;
    ClientAction action;
    size_t minArgs, maxArgs;
};

const Shape kShapes[] = {
    {"request", ClientAction::request, 2, 2}, {"poke", ClientAction::poke, 3, 3},
    {"execute", ClientAction::execute, 2, 2}, {"render", ClientAction::render, 1, 1},
    {"topics", ClientAction::topics, 0, 0},   {"items", ClientAction::items, 1, 1},
    {"watch", ClientAction::watch, 2, 3},
};

}  // namespace

bool parseClientCommand(const std::vector<std::string>& args, ClientCommand& command, std::string& error) {
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded) {
            words.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "--raw") {
            command.raw = true;
        } else if (a == "--service" || a == "--format" || a == "--timeout") {
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return false;
            }
            const std::string& value = args[++i];
            unsigned long number = 0;
            if (a == "--service") {
                if (value.empty()) {
                    error = "the service name is empty";
                    return false;
                }
                command.service = value;
            } else if (a == "--format") {
                if (!parseNumber(value, 0xFFFF, number, true) || number == 0) {
                    error = "format must be a number from 1 to 65535: " + value;
                    return false;
                }
                command.format = static_cast<unsigned>(number);
            } else {
                if (!parseNumber(value, 3600000, number)) {
                    error = "timeout must be milliseconds up to 3600000: " + value;
                    return false;
                }
                command.timeoutMs = static_cast<unsigned>(number);
                command.timeoutGiven = true;
            }
        } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            error = "unknown option " + a;
            return false;
        } else {
            words.push_back(a);
        }
    }
    if (words.empty()) {
        error = "no command given";
        return false;
    }
    const Shape* shape = nullptr;
    for (const Shape& s : kShapes) {
        if (words[0] == s.name) shape = &s;
    }
    if (!shape) {
        error = "unknown command " + words[0];
        return false;
    }
    size_t given = words.size() - 1;
    if (given < shape->minArgs || given > shape->maxArgs) {
        error = "wrong number of arguments for " + words[0];
        return false;
    }
    command.action = shape->action;
    switch (shape->action) {
        case ClientAction::request:
        case ClientAction::watch:
            command.topic = words[1];
            command.item = words[2];
            break;
        case ClientAction::poke:
            command.topic = words[1];
            command.item = words[2];
            command.text = words[3];
            break;
        case ClientAction::execute:
            command.topic = words[1];
            command.text = words[2];
            break;
        case ClientAction::render:
            command.topic = "COMMAND";
            command.item = "PARSEORVANE";
            command.text = words[1];
            break;
        case ClientAction::items:
            command.topic = words[1];
            command.item = "TopicItemList";
            break;
        case ClientAction::topics:
            command.topic = "System";
            command.item = "Topics";
            break;
    }
    if (shape->action == ClientAction::watch && given == 3) {
        unsigned long number = 0;
        if (!parseNumber(words[3], 0x7fffffff, number)) {
            error = "count must be a number: " + words[3];
            return false;
        }
        command.count = static_cast<int>(number);
    }
    return true;
}

std::string replyText(const std::string& bytes, unsigned format) {
    if (format != kCfText && format != kCfOemText) return bytes;
    size_t zero = bytes.find('\0');
    return zero == std::string::npos ? bytes : bytes.substr(0, zero);
}

}  // namespace kalverin
