#pragma once
// The subcommands of tessaly-convert. Each lives in its own
// <name>_command.cpp and registers itself with a static TCommandRegistration,
// so adding one never touches another's file.

#include <string>
#include <vector>

struct TCommand {
    std::string Name;
    // One line: the arguments after the subcommand name.
    std::string Usage;
    // Receives the arguments after the subcommand name; returns the exit code.
    int (*Run)(const std::vector<std::string> &arguments);
};

std::vector<TCommand> &RegisteredCommands();

struct TCommandRegistration {
    explicit TCommandRegistration(TCommand command);
};
