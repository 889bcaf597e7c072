#include "OrvaneProcess.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

} // namespace

std::string makeTemporaryDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orvane-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    return pattern;
}

ProcessResult runOrvane(const std::vector<std::string>& arguments, const std::string& script,
                        const std::vector<std::string>& environment) {
    return runProgram(ORVANE_BINARY, arguments, script, environment);
}

ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& script, const std::vector<std::string>& environment) {
    const std::filesystem::path folder = makeTemporaryDirectory();
    std::ofstream(folder / "script") << script;
    std::string command = "env";
    for (const auto& setting : environment)
        command += " " + shellQuoted(setting);
    command += " " + shellQuoted(program);
    for (const auto& argument : arguments)
        command += " " + shellQuoted(argument);
    command += " < " + shellQuoted((folder / "script").string()) + " > " +
               shellQuoted((folder / "out").string()) + " 2> " +
               shellQuoted((folder / "err").string());
    const int status = std::system(command.c_str());
    ProcessResult result{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                         contentsOf(folder / "out"), contentsOf(folder / "err")};
    std::filesystem::remove_all(folder);
    return result;
}
