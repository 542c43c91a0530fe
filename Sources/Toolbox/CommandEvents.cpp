#include "CommandEvents.h"

#include <QAbstractButton>
#include <QAction>
#include <QVariant>

#include <cstring>
#include <vector>

namespace {
struct InstalledHandler {
    CommandHandlerRef ref;
    CommandHandler handler;
};
std::vector<InstalledHandler> s_handlers;
CommandHandlerRef s_nextRef = 1;
} // namespace

CommandHandlerRef InstallCommandHandler(CommandHandler handler) {
    s_handlers.push_back({s_nextRef, std::move(handler)});
    return s_nextRef++;
}

void RemoveCommandHandler(CommandHandlerRef ref) {
    for (auto it = s_handlers.begin(); it != s_handlers.end(); ++it) {
        if (it->ref == ref) {
            s_handlers.erase(it);
            return;
        }
    }
}

int32_t ProcessCommand(uint32_t command) {
    // A handler may install or remove handlers (a dialog opening or closing),
    // so the chain is walked by reference number over a snapshot.
    std::vector<CommandHandlerRef> order;
    for (auto it = s_handlers.rbegin(); it != s_handlers.rend(); ++it)
        order.push_back(it->ref);
    for (CommandHandlerRef ref : order) {
        CommandHandler handler;
        for (const auto& installed : s_handlers)
            if (installed.ref == ref)
                handler = installed.handler;
        if (!handler)
            continue;
        int32_t result = handler(command);
        if (result != eventNotHandledErr)
            return result;
    }
    return eventNotHandledErr;
}

uint32_t CommandFromText(const char* text) {
    if (!text || std::strlen(text) != 4)
        return 0;
    return (uint32_t(uint8_t(text[0])) << 24) | (uint32_t(uint8_t(text[1])) << 16) |
           (uint32_t(uint8_t(text[2])) << 8) | uint32_t(uint8_t(text[3]));
}

uint32_t CommandOf(const QObject* source) {
    return CommandFromText(source->property("command").toString().toLatin1().constData());
}

void ConnectCommandSources(QObject* root) {
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (uint32_t command = CommandOf(button))
            QObject::connect(button, &QAbstractButton::clicked, button,
                             [command] { ProcessCommand(command); });
    }
    for (QAction* action : root->findChildren<QAction*>()) {
        if (uint32_t command = CommandOf(action))
            QObject::connect(action, &QAction::triggered, action,
                             [command] { ProcessCommand(command); });
    }
}
