// Runs the built qmverify-cli as its own process, with standard input from
// a text and standard output and error caught, as an operator's shell would.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct CliRun {
    int status = -1;  // exit status; -1 when the program could not be started
    std::string out;
    std::string err;
};

// `environment`: variables to set in the child (an empty value unsets one);
// ignored on Windows, where the child inherits ours.
CliRun RunCli(const std::vector<std::string>& args, const std::string& input = std::string(),
              const std::vector<std::pair<std::string, std::string>>& environment = {});
