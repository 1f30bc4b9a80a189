#pragma once

#include <QString>

// What each command says of itself: the status-bar prompt and the tool tip,
// shown alike wherever the command appears (menu, tool bar, status bar). The
// tool-bar fields are listed by their control ids.
struct CommandPrompt
{
    int commandId;
    const char *status;
    const char *tip;
};

namespace CommandPrompts {

// The prompt of a command or field, or null for one without.
const CommandPrompt *Find(int commandId);

// A prompt's texts in the language the user reads.
QString Status(const CommandPrompt &prompt);
QString Tip(const CommandPrompt &prompt);

// What the status bar says while nothing is under way.
QString IdleText();

} // namespace CommandPrompts
