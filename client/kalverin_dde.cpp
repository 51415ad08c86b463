// kalverin-dde: a console client of the DDE service, for users' scripts and our tests.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dde/client_command.h"
#include "dde/client_output_win.h"
#include "dde/dde_client_win.h"

using namespace kalverin;

namespace {

// The replies and messages, in the ANSI code page as the service and the command line give
// them (CF_OEMTEXT replies in the OEM one).
struct Output {
    ClientStream out{stdout, GetStdHandle(STD_OUTPUT_HANDLE)};
    ClientStream err{stderr, GetStdHandle(STD_ERROR_HANDLE)};
};

void error(Output& output, const std::string& message) {
    output.err.writeText("kalverin-dde: " + message + "\n", CP_ACP);
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

void print(Output& output, const std::string& bytes, unsigned format) {
    UINT codePage = CP_ACP;
    if (replyCodePage(format, codePage))
        output.out.writeText(bytes, codePage);
    else
        output.out.writeBytes(bytes);
}

void printReply(Output& output, const ClientCommand& command, const std::string& bytes) {
    if (command.raw) {
        print(output, bytes, command.format);
    } else {
        print(output, replyText(bytes, command.format), command.format);
        print(output, "\n", command.format);
    }
    // A watch prints as the updates come: a script reading it sees each one at once.
    output.out.finish();
}

// One name a line, as the list replies join them with tabs.
void printList(Output& output, const ClientCommand& command, const std::string& bytes) {
    if (command.raw) return printReply(output, command, bytes);
    std::string text = replyText(bytes, kCfText);
    for (char& c : text) {
        if (c == '\t') c = '\n';
    }
    if (!text.empty()) text += '\n';
    print(output, text, kCfText);
}

ClientExit fail(Output& output, const ClientCommand& command, DdeOutcome outcome, const char* what) {
    switch (outcome) {
        case DdeOutcome::ok:
            return ClientExit::ok;
        case DdeOutcome::noConversation:
            error(output, "no conversation with service " + quoted(command.service) + " on topic " +
                              quoted(command.topic) + " (service not running, or the topic is unknown)");
            return ClientExit::noConversation;
        case DdeOutcome::refused:
            error(output, std::string(what) + " of " + quoted(command.item) + " on topic " +
                              quoted(command.topic) + " was refused or gave no data");
            return ClientExit::refused;
        case DdeOutcome::ended:
            error(output, "service " + quoted(command.service) + " ended the conversation on topic " +
                              quoted(command.topic));
            return ClientExit::noConversation;
        case DdeOutcome::library:
            break;
    }
    error(output, "the DDE library could not be initialised");
    return ClientExit::library;
}

ClientExit run(Output& output, int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    ClientCommand command;
    std::string message;
    if (!parseClientCommand(args, command, message)) {
        error(output, message);
        output.err.writeText(kClientUsage, CP_ACP);
        return ClientExit::usage;
    }
    DdeClient client;
    if (!client.ready()) return fail(output, command, DdeOutcome::library, "");
    client.setTimeout(command.timeoutMs);

    std::string reply;
    DdeOutcome outcome = DdeOutcome::ok;
    switch (command.action) {
        case ClientAction::poke:
            outcome = client.poke(command.service, command.topic, command.item, command.format,
                                  command.text + '\0');
            return fail(output, command, outcome, "poke");
        case ClientAction::execute:
            outcome = client.execute(command.service, command.topic, command.text);
            return fail(output, command, outcome, "execute");
        case ClientAction::render:
            // The script is poked, then its rendering is requested like any item.
            outcome = client.poke(command.service, command.topic, command.item, command.format,
                                  command.text + '\0');
            if (outcome != DdeOutcome::ok) return fail(output, command, outcome, "poke");
            [[fallthrough]];
        case ClientAction::request:
        case ClientAction::topics:
        case ClientAction::items:
            outcome = client.request(command.service, command.topic, command.item, command.format, reply);
            if (outcome != DdeOutcome::ok) return fail(output, command, outcome, "request");
            if (command.action == ClientAction::topics || command.action == ClientAction::items)
                printList(output, command, reply);
            else
                printReply(output, command, reply);
            return ClientExit::ok;
        case ClientAction::watch: {
            int received = 0;
            bool timedOut = false;
            DWORD wait = command.timeoutGiven ? command.timeoutMs : INFINITE;
            outcome = client.watch(
                command.service, command.topic, command.item, command.format, wait,
                [&](const std::string& bytes) {
                    printReply(output, command, bytes);
                    return command.count == 0 || ++received < command.count;
                },
                &timedOut);
            if (outcome != DdeOutcome::ok) return fail(output, command, outcome, "advise loop");
            if (timedOut) {
                error(output, "no update of " + quoted(command.item) + " within " +
                                  std::to_string(command.timeoutMs) + " ms");
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
    Output output;
    ClientExit code = run(output, argc, argv);
    // A reply that could not be written (a full disk, a closed pipe) is no success.
    if (!output.out.finish()) {
        error(output, "could not write the reply");
        if (code == ClientExit::ok) code = ClientExit::output;
    }
    output.err.finish();
    return static_cast<int>(code);
}
