#pragma once

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

} // namespace CommandPrompts
