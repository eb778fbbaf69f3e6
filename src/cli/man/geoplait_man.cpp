// Writes the manual pages at build time: geoplait-cli(1) from the options
// and help texts of the command line itself, geoplait(1) from the README's
// texts about the window, so that neither page repeats what they say.
//
//   geoplait-man cli OUT.1
//   geoplait-man window README.md OUT.1
//   geoplait-man completion OUT     (bash completion of geoplait-cli)
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_names.h"
#include "cli/cli_run.h"
#include "cli/cli_text.h"

namespace {

// A line of text as roff takes it: backslashes and leading dots or quotes
// kept literal, hyphens of options as minus signs.
std::string Roff(std::string_view line) {
    std::string text;
    for (char c : line) {
        if (c == '\\') {
            text += "\\e";
        } else if (c == '-') {
            text += "\\-";
        } else {
            text += c;
        }
    }
    if (!text.empty() && (text.front() == '.' || text.front() == '\'')) text.insert(0, "\\&");
    return text;
}

// Markdown's `code` as bold, and its links as their text.
std::string RoffMarkdown(std::string_view line) {
    std::string plain;
    bool code = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '`') {
            code = !code;
            plain += code ? '\x01' : '\x02';
            continue;
        }
        plain += line[i];
    }
    std::string text = Roff(plain);
    std::string out;
    for (char c : text) {
        if (c == '\x01') {
            out += "\\fB";
        } else if (c == '\x02') {
            out += "\\fR";
        } else {
            out += c;
        }
    }
    return out;
}

// Paragraphs of the help: blank lines part them, lines that start with a
// blank are kept as they stand.
void WriteText(std::ostream& out, std::string_view text, bool markdown) {
    std::istringstream lines{std::string(text)};
    bool fill = true;
    bool first = true;
    for (std::string line; std::getline(lines, line);) {
        if (line.empty()) {
            if (!fill) out << ".fi\n";
            fill = true;
            out << ".PP\n";
            continue;
        }
        const bool literal = line.front() == ' ';
        if (literal && fill) {
            out << ".nf\n";
            fill = false;
        } else if (!literal && !fill) {
            out << ".fi\n";
            fill = true;
        }
        if (first && !literal) first = false;
        out << (markdown ? RoffMarkdown(line) : Roff(line)) << "\n";
    }
    if (!fill) out << ".fi\n";
}

void Header(std::ostream& out, const char* name, const char* summary) {
    out << ".TH " << name << " 1 \"\" \"geoplait " << GEOPLAIT_VERSION << "\" \"User Commands\"\n"
        << ".SH NAME\n" << name << " \\- " << Roff(summary) << "\n";
}

int WriteCliPage(std::ostream& out) {
    geoplait::CliOptions options;
    CLI::App app{"", "geoplait-cli"};
    geoplait::DeclareCliOptions(app, options);
    Header(out, "geoplait-cli", geoplait::kCliSummary);
    // The usage lines without their "Usage: " and its indent.
    out << ".SH SYNOPSIS\n.nf\n";
    std::istringstream usage(geoplait::kCliUsage);
    for (std::string line; std::getline(usage, line);) out << Roff(line.substr(std::min<size_t>(7, line.size()))) << "\n";
    out << ".fi\n";
    out << ".SH OPTIONS\n";
    for (const CLI::Option* option : app.get_options()) {
        std::string name = option->get_name(false, true);
        if (name.empty()) continue;
        out << ".TP\n\\fB" << Roff(name) << "\\fR";
        if (option->get_type_size() != 0 && !option->get_type_name().empty()) {
            out << " \\fI" << Roff(option->get_type_name()) << "\\fR";
        }
        out << "\n" << Roff(option->get_description()) << "\n";
    }
    for (const geoplait::HelpSection& section : geoplait::CliHelpSections()) {
        std::string title = section.title;
        for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        out << ".SH \"" << title << "\"\n";
        WriteText(out, section.text, false);
    }
    out << ".SH \"SEE ALSO\"\n\\fBgeoplait\\fR(1)\n";
    return 0;
}

// The README's section `title` ("## The window"), images left out and code
// blocks kept as they stand.
std::string ReadmeSection(const std::string& readme, std::string_view title) {
    std::ifstream in(readme);
    std::string text;
    bool inside = false;
    bool code = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("## ")) {
            inside = line.substr(3) == title;
            continue;
        }
        if (!inside || line.starts_with("![")) continue;
        if (line.starts_with("```")) {
            code = !code;
            continue;
        }
        text += (code ? "    " : "") + line + "\n";
    }
    return text;
}

int WriteWindowPage(std::ostream& out, const std::string& readme) {
    const std::string window = ReadmeSection(readme, "The window");
    if (window.empty()) {
        std::cerr << "geoplait-man: no \"## The window\" in " << readme << "\n";
        return 1;
    }
    Header(out, "geoplait", "converts GPS track logs and geotagged photos, in a window");
    out << ".SH SYNOPSIS\n\\fBgeoplait\\fR\n.SH DESCRIPTION\n";
    WriteText(out, window, true);
    out << ".SH FILES\n.TP\n\\fIgeoplait.ini\\fR\nThe settings, in the folder the program starts in.\n";
    out << ".SH \"SEE ALSO\"\n\\fBgeoplait\\-cli\\fR(1)\n";
    return 0;
}

// Bash completion of geoplait-cli: its options, the modes after --mode and
// the settings keys (with "=") after --set, files and folders elsewhere.
int WriteCompletion(std::ostream& out) {
    geoplait::CliOptions options;
    CLI::App app{"", "geoplait-cli"};
    geoplait::DeclareCliOptions(app, options);
    std::string names = "--help";
    for (const CLI::Option* option : app.get_options()) {
        const std::string name = option->get_name(false, true);
        if (!name.empty() && name != "--help") names += " " + name;
    }
    std::string modes;
    for (const geoplait::ConvertMode& mode : geoplait::kConvertModes) modes += std::string(" ") + mode.fileValue;
    std::string keys;
    for (const std::string& key : geoplait::AllSettingKeyNames()) keys += " " + key + "=";
    out << "# bash completion of geoplait-cli; made at build time from its options, modes and keys.\n"
        << "_geoplait_cli() {\n"
        << "    local cur=\"${COMP_WORDS[COMP_CWORD]}\" prev=\"${COMP_WORDS[COMP_CWORD-1]}\"\n"
        << "    case \"$prev\" in\n"
        << "        --mode) COMPREPLY=($(compgen -W \"" << modes.substr(1) << "\" -- \"$cur\")); return ;;\n"
        << "        --set) compopt -o nospace 2>/dev/null\n"
        << "            COMPREPLY=($(compgen -W \"" << keys.substr(1) << "\" -- \"$cur\")); return ;;\n"
        << "        --out-dir) COMPREPLY=($(compgen -d -- \"$cur\")); return ;;\n"
        << "        --jobs) COMPREPLY=(); return ;;\n"
        << "        --in|--out|--ini|--write-ini) COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n"
        << "    esac\n"
        << "    if [[ \"$cur\" == -* ]]; then\n"
        << "        COMPREPLY=($(compgen -W \"" << names << "\" -- \"$cur\"))\n"
        << "    else\n"
        << "        COMPREPLY=($(compgen -f -- \"$cur\"))\n"
        << "    fi\n"
        << "}\n"
        << "complete -o filenames -F _geoplait_cli geoplait-cli\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "cli") {
        std::ofstream out(args[1]);
        return WriteCliPage(out) != 0 || !out.flush() ? 1 : 0;
    }
    if (args.size() == 3 && args[0] == "window") {
        std::ofstream out(args[2]);
        return WriteWindowPage(out, args[1]) != 0 || !out.flush() ? 1 : 0;
    }
    if (args.size() == 2 && args[0] == "completion") {
        std::ofstream out(args[1]);
        return WriteCompletion(out) != 0 || !out.flush() ? 1 : 0;
    }
    std::cerr << "usage: geoplait-man cli OUT.1 | geoplait-man window README.md OUT.1 | geoplait-man completion OUT\n";
    return 64;
}
