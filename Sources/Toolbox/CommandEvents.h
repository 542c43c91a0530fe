// Command events: a four-character code offered to the installed handlers,
// newest first, until one does not answer eventNotHandledErr.
#pragma once

#include "ToolboxTypes.h"

#include <functional>

class QObject;

using CommandHandler = std::function<int32_t(uint32_t command)>;
using CommandHandlerRef = uint32_t;

CommandHandlerRef InstallCommandHandler(CommandHandler handler);
void RemoveCommandHandler(CommandHandlerRef ref);
// The first answer other than eventNotHandledErr, or eventNotHandledErr when
// no handler took it.
int32_t ProcessCommand(uint32_t command);

// The four-character code of a "command" property text ("ok  " keeps its
// blanks); 0 when the text is not four bytes.
uint32_t CommandFromText(const char* text);
// The code of a button's, menu item's or check box's "command" property; 0
// when it has none.
uint32_t CommandOf(const QObject* source);
// Makes every button, check box and menu item below root that carries a
// "command" property send it as a command event when clicked.
void ConnectCommandSources(QObject* root);
