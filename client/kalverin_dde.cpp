// kalverin-dde: a console client of the DDE service, for users' scripts and our tests.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dde/client_command.h"
#include "dde/dde_client_win.h"

using namespace kalverin;

namespace {

void print(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void printReply(const ClientCommand& command, const std::string& bytes) {
    if (command.raw) {
        print(bytes);
    } else {
        print(replyText(bytes, command.format));
        print("\n");
    }
    std::fflush(stdout);
}

// One name a line, as the list replies join them with tabs.
void printList(const ClientCommand& command, const std::string& bytes) {
    if (command.raw) return printReply(command, bytes);
    std::string text = replyText(bytes, kCfText);
    for (char& c : text) {
        if (c == '\t') c = '\n';
    }
    if (!text.empty()) text += '\n';
    print(text);
}

ClientExit fail(const ClientCommand& command, DdeOutcome outcome, const char* what) {
    switch (outcome) {
        case DdeOutcome::ok:
            return ClientExit::ok;
        case DdeOutcome::noConversation:
            std::fprintf(stderr,
                         "kalverin-dde: no conversation with service \"%s\" on topic \"%s\" "
                         "(service not running, or the topic is unknown)\n",
                         command.service.c_str(), command.topic.c_str());
            return ClientExit::noConversation;
        case DdeOutcome::refused:
            std::fprintf(stderr, "kalverin-dde: %s of \"%s\" on topic \"%s\" was refused or gave no data\n",
                         what, command.item.c_str(), command.topic.c_str());
            return ClientExit::refused;
        case DdeOutcome::ended:
            std::fprintf(stderr, "kalverin-dde: service \"%s\" ended the conversation on topic \"%s\"\n",
                         command.service.c_str(), command.topic.c_str());
            return ClientExit::noConversation;
        case DdeOutcome::library:
            break;
    }
    std::fprintf(stderr, "kalverin-dde: the DDE library could not be initialised\n");
    return ClientExit::library;
}

ClientExit run(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    ClientCommand command;
    std::string error;
    if (!parseClientCommand(args, command, error)) {
        std::fprintf(stderr, "kalverin-dde: %s\n%s", error.c_str(), kClientUsage);
        return ClientExit::usage;
    }
    DdeClient client;
    if (!client.ready()) return fail(command, DdeOutcome::library, "");
    client.setTimeout(command.timeoutMs);

    std::string reply;
    DdeOutcome outcome = DdeOutcome::ok;
    switch (command.action) {
        case ClientAction::poke:
            outcome = client.poke(command.service, command.topic, command.item, command.format,
                                  command.text + '\0');
            return fail(command, outcome, "poke");
        case ClientAction::execute:
            outcome = client.execute(command.service, command.topic, command.text);
            return fail(command, outcome, "execute");
        case ClientAction::render:
            // The script is poked, then its rendering is requested like any item.
            outcome = client.poke(command.service, command.topic, command.item, command.format,
                                  command.text + '\0');
            if (outcome != DdeOutcome::ok) return fail(command, outcome, "poke");
            [[fallthrough]];
        case ClientAction::request:
        case ClientAction::topics:
        case ClientAction::items:
            outcome = client.request(command.service, command.topic, command.item, command.format, reply);
            if (outcome != DdeOutcome::ok) return fail(command, outcome, "request");
            if (command.action == ClientAction::topics || command.action == ClientAction::items)
                printList(command, reply);
            else
                printReply(command, reply);
            return ClientExit::ok;
        case ClientAction::watch: {
            int received = 0;
            bool timedOut = false;
            DWORD wait = command.timeoutGiven ? command.timeoutMs : INFINITE;
            outcome = client.watch(
                command.service, command.topic, command.item, command.format, wait,
                [&](const std::string& bytes) {
                    printReply(command, bytes);
                    return command.count == 0 || ++received < command.count;
                },
                &timedOut);
            if (outcome != DdeOutcome::ok) return fail(command, outcome, "advise loop");
            if (timedOut) {
                std::fprintf(stderr, "kalverin-dde: no update of \"%s\" within %u ms\n", command.item.c_str(),
                             command.timeoutMs);
                return ClientExit::refused;
            }
            return ClientExit::ok;
        }
    }
    return ClientExit::usage;
}

}  // namespace

int main(int argc, char** argv) {
    // Replies are printed byte for byte: no CR inserted before their line feeds.
    _setmode(_fileno(stdout), _O_BINARY);
    ClientExit code = run(argc, argv);
    // A reply that could not be written (a full disk, a closed pipe) is no success.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "kalverin-dde: could not write the reply\n");
        if (code == ClientExit::ok) code = ClientExit::output;
    }
    return static_cast<int>(code);
}
