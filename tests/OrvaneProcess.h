#pragma once

#include <string>
#include <vector>

// Runs the real orvane program, as a person or CI would, and collects what it printed.
struct ProcessResult {
    int status = -1;
    std::string output;
    std::string errors;
};

// environment: "NAME=value" settings on top of the test's own; script: the headless input.
ProcessResult runOrvane(const std::vector<std::string>& arguments, const std::string& script,
                        const std::vector<std::string>& environment = {});
// The same for a program at another path (a copy of orvane, say).
ProcessResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& script,
                         const std::vector<std::string>& environment = {});

// A fresh empty folder under the system's temporary folder.
std::string makeTemporaryDirectory();
