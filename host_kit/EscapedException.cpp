#include "EscapedException.h"

#include "Demangle.h"

#include <exception>
#include <typeinfo>

#include <cxxabi.h>

std::string describeCurrentException() {
    std::string type;
    // The exact type of any exception, also of one no catch clause here names
    // (the host kit is built by GNU-compatible compilers, as Demangle is).
    if (const std::type_info* info = abi::__cxa_current_exception_type()) {
        type = demangleType(info->name());
    }
    try {
        throw;
    } catch (const std::exception& exception) {
        return (type.empty() ? std::string("a std::exception") : type) + ": \"" + exception.what() +
               "\"";
    } catch (...) {
        return type.empty() ? std::string("an exception of a type the host cannot name")
                            : "an exception of type " + type;
    }
}
