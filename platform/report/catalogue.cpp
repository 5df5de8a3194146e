#include "platform/report/catalogue.h"

#include "platform/report/definition.h"
#include "platform/report/report_error.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace report {
namespace {

// The NN of CODE-NN.toml, or -1 when the name is not one of the code's.
long numberOf(const std::string& name, const std::string& code) {
    const std::string prefix = code + "-", suffix = ".toml";
    if (name.size() <= prefix.size() + suffix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return -1;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.empty() || digits.size() > 6 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return -1;
    return std::stol(digits);
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EReportError("Não foi possível ler a definição de relatório " + path + ".");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string withTitle(const std::string& text, int line, const std::string& title) {
    std::istringstream in(text);
    std::string out, l;
    for (int n = 1; std::getline(in, l); ++n) out += (n == line ? "title = " + TomlString(title) : l) + "\n";
    return out;
}

// Creates the file only when no file has the name (two users saving at once
// never overwrite each other's copy).
bool writeNew(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wx");
    if (!f) {
        if (errno == EEXIST) return false;
        throw EReportError("Não foi possível gravar a definição de relatório " + path + ".");
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) {
        std::remove(path.c_str());
        throw EReportError("Não foi possível gravar a definição de relatório " + path + ".");
    }
    return true;
}

}  // namespace

std::string TomlString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::vector<TReportFile> FindReports(const std::string& dir, const std::string& code) {
    std::vector<std::pair<long, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const long n = numberOf(name, code);
        if (n >= 0 && it->is_regular_file(ec)) found.emplace_back(n, it->path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<TReportFile> out;
    for (const auto& [n, path] : found) {
        TReportFile f;
        f.Path = path;
        try {
            f.Title = LoadDefinition(path).Title;
        } catch (const EReportError& e) {
            f.Title = fs::path(path).filename().string();
            f.Error = e.what();
        }
        out.push_back(std::move(f));
    }
    return out;
}

std::string SaveCopy(const std::string& dir, const std::string& code, const TReportFile& source,
                     const std::string& title) {
    const std::string text = readAll(source.Path);
    const TReportDef def = ParseDefinition(text, source.Path);
    const std::string copy = withTitle(text, def.TitleLine, title);
    if (ParseDefinition(copy, source.Path).Title != title)
        throw EReportError("A definição " + source.Path + " não permite trocar o título numa cópia.");
    long next = 1;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        next = std::max(next, numberOf(it->path().filename().string(), code) + 1);
    for (int tries = 0; tries < 1000; ++tries, ++next) {
        char name[64];
        std::snprintf(name, sizeof name, "-%02ld.toml", next);
        const std::string path = (fs::path(dir) / (code + name)).string();
        if (writeNew(path, copy)) return path;
    }
    throw EReportError("Não foi possível escolher um nome para a cópia do relatório em " + dir + ".");
}

}  // namespace report
