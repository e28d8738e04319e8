#pragma once
#include <string>

// The system's text for an errno value, for log lines ("No such file or directory (2)").
std::string SystemErrorText(int error);
