// The report engine's one error style: a definition that cannot be read, a
// query that fails, a file that cannot be written. The text is Portuguese and
// fit to show a bookkeeper; a definition error names the file and the line.
#pragma once

#include <stdexcept>
#include <string>

namespace report {

class EReportError : public std::runtime_error {
public:
    explicit EReportError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace report
