// tessaly-convert: the program's image codecs on the command line.
//   tessaly-convert <command> <arguments>
// Exit codes: 0 success, 1 the conversion failed (message on standard
// error), 2 wrong usage.

#include "tools/convert/commands.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

std::vector<TCommand> &RegisteredCommands()
{
    static std::vector<TCommand> commands;
    return commands;
}

TCommandRegistration::TCommandRegistration(TCommand command)
{
    RegisteredCommands().push_back(std::move(command));
}

namespace {

int PrintUsage()
{
    std::vector<TCommand> commands = RegisteredCommands();
    std::sort(commands.begin(), commands.end(),
              [](const TCommand &a, const TCommand &b) { return a.Name < b.Name; });
    std::fputs("Usage:\n", stderr);
    for (const TCommand &command : commands)
        std::fprintf(stderr, "  tessaly-convert %s %s\n", command.Name.c_str(), command.Usage.c_str());
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2)
        return PrintUsage();
    const std::string name = argv[1];
    for (const TCommand &command : RegisteredCommands()) {
        if (command.Name != name)
            continue;
        try {
            return command.Run(std::vector<std::string>(argv + 2, argv + argc));
        } catch (const std::exception &e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "Unknown command \"%s\".\n", name.c_str());
    return PrintUsage();
}
