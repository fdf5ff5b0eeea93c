#include "subcommand.h"

#include <sstream>

int parse(CLI::App& app, int argc, const char* const* argv, std::ostream& out, std::ostream& err)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::ParseError& e) {
        err << app.get_name() << ": " << e.what() << "\n" << "Run '" << app.get_name() << " --help' for the options.\n";
        return 2;
    }
    return -1;
}

std::string oneline(const std::string& text)
{
    std::string s;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (const std::size_t p = line.find(": Tolvi stops."); p != std::string::npos)
            line.erase(p);
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        s += (s.empty() ? "" : " ") + line.substr(line.find_first_not_of(" \t"));
    }
    return s;
}

std::ostream& nowhere()
{
    static std::ostream sink(nullptr);
    return sink;
}
