// EscapedException: what a host can say about a C++ exception that a component
// let escape through the host boundary: its type and, for a std::exception, its
// message. Called inside the host's catch block.
#pragma once

#include <string>

// "std::runtime_error: \"disk full\"", or "an exception of type int".
std::string describeCurrentException();
