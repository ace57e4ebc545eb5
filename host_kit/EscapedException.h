// EscapedException: what a host can say about a C++ exception that a component
// let escape through the host boundary: its type and, for a std::exception, its
// message. Called inside the host's catch block.
#pragma once

#include <string>

// "std::runtime_error: \"disk full\"", or "an exception of type int".
std::string describeCurrentException();

// The code of the structured exception by which a component built with
// Microsoft's compiler throws a C++ exception.
const unsigned long MicrosoftCppException = 0xE06D7363;

// The same for a Microsoft C++ exception, read from the structured exception's
// record (an EXCEPTION_RECORD): the thrown type from the throw information the
// compiler attaches, and the message when one of its types is std::exception (the
// message pointer follows the table pointer in Microsoft's std::exception).
// Empty for any other record, or one that does not read as such. Windows only.
std::string describeMicrosoftException(const void* exceptionRecord);
