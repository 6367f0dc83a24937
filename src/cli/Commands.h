// The verbs of vorla-cli. Each takes the arguments after the verb and returns the exit status.
#pragma once

#include <string>
#include <vector>

int RunInfo(const std::vector<std::string>& args);
int RunConvert(const std::vector<std::string>& args);
int RunInsert(const std::vector<std::string>& args);
int RunSphere(const std::vector<std::string>& args);
int RunSunStudy(const std::vector<std::string>& args);

// Prints the message and the usage text to stderr and returns the usage exit status.
int UsageError(const std::string& message);
