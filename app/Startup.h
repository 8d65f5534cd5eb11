#pragma once
// Runs the configurator from start-up to shutdown; returns the exit code.
int RunConfigurator();
