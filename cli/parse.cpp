// The arguments of one command, read by CLI11 from the command's description:
// "--opt=value" and "--opt value", "-o value" and "-ovalue", grouped short
// switches ("-fq"), "--" before operands that begin with "-", an error for a
// value option given twice, and a suggestion for a mistyped option.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <iterator>

#include "cli/command_line.h"
#include "format/language.h"

namespace tazu::cli {
namespace {

// Whether text names an option of the command ("--keystore" or
// "--keystore=x"): a value option followed by it lacks its value.
bool IsOptionWord(const std::string& text, const std::vector<OptionSpec>& options) {
    if (text.size() < 2 || text[0] != '-' || text == "--") {
        return false;
    }
    const std::string name = text.substr(0, text.find('='));
    if (name == "-h" || name == "--help") {
        return true;
    }
    for (const OptionSpec& o : options) {
        for (const std::string& n : OptionNames(o)) {
            if (n == name) {
                return true;
            }
        }
    }
    return false;
}

std::string UnknownOption(const std::string& word, const std::vector<OptionSpec>& options) {
    std::vector<std::string> names;
    for (const OptionSpec& o : options) {
        for (const std::string& n : OptionNames(o)) {
            names.push_back(n);
        }
    }
    const std::string name = word.substr(0, word.find('='));
    std::string error = TrFill("неизвестный параметр {}", {name});
    if (const std::string near = Nearest(name, names); !near.empty()) {
        error += TrFill(" (может быть, {}?)", {near});
    }
    return error;
}

// CLI11's error in the program's words, by its kind. With the options
// described as they are, the one CLI11 finds itself is a value option
// without its value; its message begins with the option's name.
std::string ParseErrorText(const CLI::ParseError& e) {
    const std::string what = e.what();
    const std::string name = what.substr(0, what.find(':'));
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr && name.rfind('-', 0) == 0) {
        return TrFill("после {} нужно значение", {name});
    }
    return TrFill("аргументы не разобраны ({})", {e.get_name()});
}

// CLI11 takes an argument "[a,b]" given to a list for two values and "[]"
// for none, but such arguments are names of files and entries like any
// other. Each goes in behind a marker byte (as does one that begins with
// the marker itself), which comes off again in what the parse gives back.
constexpr char kShield = '\x01';

std::string Shielded(std::string arg) {
    if (!arg.empty() && (arg[0] == '[' || arg[0] == kShield)) {
        arg.insert(arg.begin(), kShield);
    }
    return arg;
}

std::string Unshielded(std::string arg) {
    if (!arg.empty() && arg[0] == kShield) {
        arg.erase(arg.begin());
    }
    return arg;
}

}  // namespace

Args::Args(const CommandSpec& command, const std::vector<std::string>& argv) {
    const std::vector<OptionSpec> options = AllOptions(command);
    CLI::App app;
    app.set_help_flag();
    app.allow_extras(true);
    CLI::Option* help = app.add_flag("-h,--help");
    std::vector<std::pair<const OptionSpec*, CLI::Option*>> added;
    for (const OptionSpec& o : options) {
        CLI::Option* opt = !o.value.empty() ? app.add_option(o.names) : app.add_flag(o.names);
        if (!o.value.empty()) {
            opt->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        }
        added.emplace_back(&o, opt);
    }
    std::vector<std::string> operands;
    CLI::Option* operand_option = app.add_option("operands", operands);
    std::vector<std::string> reversed;
    std::transform(argv.rbegin(), argv.rend(), std::back_inserter(reversed), Shielded);
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        error_ = ParseErrorText(e);
        return;
    }
    help_ = help->count() > 0;
    for (const std::string& extra : app.remaining()) {
        if (extra != "--") {  // CLI11 hands back the "--" it met; what followed is in operands
            error_ = UnknownOption(Unshielded(extra), options);
            return;
        }
    }
    for (const auto& [spec, opt] : added) {
        const std::vector<std::string> names = OptionNames(*spec);
        if (spec->value.empty()) {
            if (opt->count() > 0) {
                flags_.insert(flags_.end(), names.begin(), names.end());
            }
            continue;
        }
        if (opt->count() == 0) {
            continue;
        }
        std::vector<std::string> given = opt->results();
        std::transform(given.begin(), given.end(), given.begin(), Unshielded);
        if (given.size() > 1) {
            error_ = TrFill("{} указан больше одного раза", {names.back()});
            return;
        }
        if (given.size() == 1 && IsOptionWord(given[0], options)) {
            error_ = TrFill("после {} нужно значение, а не параметр {}",
                            {names.back(), given[0].substr(0, given[0].find('='))});
            return;
        }
        for (const std::string& n : names) {
            values_.emplace_back(n, given.at(0));
        }
    }
    positional_ = operand_option->results();
    std::transform(positional_.begin(), positional_.end(), positional_.begin(), Unshielded);
}

std::string Nearest(const std::string& word, const std::vector<std::string>& candidates) {
    auto distance = [](const std::string& a, const std::string& b) {
        std::vector<std::size_t> row(b.size() + 1);
        for (std::size_t j = 0; j <= b.size(); ++j) {
            row[j] = j;
        }
        for (std::size_t i = 1; i <= a.size(); ++i) {
            std::size_t diagonal = row[0];
            row[0] = i;
            for (std::size_t j = 1; j <= b.size(); ++j) {
                const std::size_t up = row[j];
                row[j] = std::min(
                    {row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0u : 1u)});
                diagonal = up;
            }
        }
        return row[b.size()];
    };
    std::string best;
    std::size_t best_distance = word.size() < 6 ? 1 : 2;
    for (const std::string& c : candidates) {
        const std::size_t d = distance(word, c);
        if (d <= best_distance || (word.size() >= 3 && c.rfind(word, 0) == 0)) {
            if (best.empty() || d < best_distance) {
                best = c;
                best_distance = d;
            }
        }
    }
    return best;
}

}  // namespace tazu::cli
