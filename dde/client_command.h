// The command line of the DDE console client, parsed apart from any DDE work.
#pragma once
#include <string>
#include <vector>

#include "dde/ddeml_api.h"

namespace kalverin {

enum class ClientAction { request, poke, execute, render, topics, items, watch };

// Exit codes of the client.
enum class ClientExit {
    ok = 0,
    usage = 1,
    noConversation = 2,  // service not running, the topic refused, or a watch ended by it
    refused = 3,         // transaction refused, no data, or no update in time
    library = 4,         // DDEML could not be initialised
    output = 5,          // the reply could not be written (full disk, closed pipe)
};

struct ClientCommand {
    ClientAction action = ClientAction::request;
    std::string service = "Kalverin";
    std::string topic;
    std::string item;
    std::string text;  // poke data, execute command, render script
    unsigned format = kCfText;
    unsigned timeoutMs = 5000;
    bool timeoutGiven = false;
    bool raw = false;  // print the reply's bytes exactly, terminator included
    int count = 0;     // watch: updates to print; 0 for no limit
};

extern const char* const kClientUsage;

// Parses the arguments after the program name. On failure returns false with a message.
bool parseClientCommand(const std::vector<std::string>& args, ClientCommand& command, std::string& error);

// The text a reply prints: for the text formats up to the first zero byte, else every byte.
std::string replyText(const std::string& bytes, unsigned format);

}  // namespace kalverin
