// The data layer's one error style: misuse of a data set, a field or a filter
// raises EDatabaseError with a Portuguese text fit to show a bookkeeper.
#pragma once

#include <stdexcept>
#include <string>

class EDatabaseError : public std::runtime_error {
public:
    explicit EDatabaseError(const std::string& message) : std::runtime_error(message) {}
};

// A Filter text that cannot be read or names a field the data set lacks.
class EFilterError : public EDatabaseError {
public:
    explicit EFilterError(const std::string& message) : EDatabaseError(message) {}
};
