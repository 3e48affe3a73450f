#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace host {

// A command of the program as its help describes it.
struct CommandHelp {
    std::string_view name;
    // One line for the program's help.
    std::string_view summary;
    // The command's own help.
    std::string_view help;
};

// Every command, in the order the program's help lists them.
std::span<const CommandHelp> commandHelp();
// The command called `name`; nullptr when there is none.
const CommandHelp* findCommandHelp(std::string_view name);

// `trillbox --help` and `trillbox COMMAND --help`.
void printProgramHelp(std::ostream& out);
void printCommandHelp(const CommandHelp& command, std::ostream& out);

} // namespace host
