// The report definitions of a report code in a report directory: the files
// CODE-NN.toml (NN any number of digits), in the order of NN. The first is
// the screen's first report. A copy made by "Salvar como" takes the next
// free number, so it lists after the ones it was made from.
#pragma once

#include <string>
#include <vector>

namespace report {

struct TReportFile {
    std::string Path;
    std::string Title;  // the file name when the definition cannot be read
    std::string Error;  // why it cannot be read ("" when it can)
};

// Never fails: a missing directory has no reports.
std::vector<TReportFile> FindReports(const std::string& dir, const std::string& code);

// Writes a copy of `source` with `title` as the next free CODE-NN.toml of
// `dir` and returns its path. The copy keeps the file's text (comments, the
// query as written); only the title line changes. Raises EReportError when
// the source cannot be read or the copy cannot be written.
std::string SaveCopy(const std::string& dir, const std::string& code, const TReportFile& source,
                     const std::string& title);

// A TOML basic string holding `text` (quotes included).
std::string TomlString(const std::string& text);

}  // namespace report
