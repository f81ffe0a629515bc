// The one command table of a catalog window: for each command id (or id range) the rule that
// enables it, the rule that checks it, and what it runs. The menu's look and the dispatcher
// ask the same rule, and the dispatcher asks again right before running, because GTK lets an
// accelerator through even when its menu item shows disabled. A command without a row, or a
// row without an action, is present in the menus and disabled: its handler comes later.
#pragma once

#include <functional>
#include <vector>

class CMainFrame;

struct CommandContext {
    CMainFrame* frame;
    int id;
};

// A named predicate over the frame's state; combine with &&, || and !.
class Rule {
public:
    Rule() = default;
    explicit Rule(std::function<bool(const CommandContext&)> test) : test_(std::move(test)) {}
    bool operator()(const CommandContext& c) const { return !test_ || test_(c); }
    bool IsSet() const { return bool(test_); }
    friend Rule operator&&(Rule a, Rule b) {
        return Rule([a, b](const CommandContext& c) { return a(c) && b(c); });
    }
    friend Rule operator||(Rule a, Rule b) {
        return Rule([a, b](const CommandContext& c) { return a(c) || b(c); });
    }
    friend Rule operator!(Rule a) {
        return Rule([a](const CommandContext& c) { return !a(c); });
    }

private:
    std::function<bool(const CommandContext&)> test_;
};

struct CommandRow {
    int first;
    int last;
    Rule enabled;                               // unset: always enabled
    Rule checked;                               // unset: not a check item
    std::function<void(const CommandContext&)> run;
    bool replacesCatalog = false;               // refused while the frame is busy
};

using CommandAction = std::function<void(const CommandContext&)>;

// Collects rows: add(first, last, enabled, checked, run, replacesCatalog).
class CommandRowAdder {
public:
    explicit CommandRowAdder(std::vector<CommandRow>& rows) : rows_(rows) {}
    void operator()(int first, int last, Rule enabled, Rule checked, CommandAction run, bool replacesCatalog = false);

private:
    std::vector<CommandRow>& rows_;
};

// The rows that menu areas add from their own files (CommandAreas.cpp calls each of them).
void AddMoreCommandRows(CommandRowAdder& add);

// The rows of the program's commands.
const std::vector<CommandRow>& CommandRows();
// The row for an id; null when the command has none yet.
const CommandRow* FindCommandRow(int id);
// Whether the command may run now in this frame (a missing row or action: no).
bool CommandIsEnabled(const CommandContext& context);
