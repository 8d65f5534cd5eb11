#pragma once
#include <string>
#include <vector>

// Runs the configurator from start-up to shutdown; returns the exit code.
int RunConfigurator();

// The command-line arguments after the program name.
std::vector<std::wstring> CommandLineArguments();
