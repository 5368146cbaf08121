#include "cli/CommandTable.h"

namespace tavrin::cli {

CLI::App* CommandTable::add(const std::string& name, const std::string& description, Needs needs,
                            Body body) {
    CLI::App* sub = app_.add_subcommand(name, description);
    sub->fallthrough();  // the shared options may follow the command name
    entries_.push_back({sub, needs, std::move(body)});
    return sub;
}

const CommandTable::Entry* CommandTable::chosen() const {
    for (const Entry& e : entries_)
        if (e.parser->parsed()) return &e;
    return nullptr;
}

}  // namespace tavrin::cli
