#include "contracts/tabvalid.h"

#include "contracts/zembra.h"

#include <algorithm>
#include <cctype>

namespace {

// Characters that stand for a typed position in an edit mask.
bool isPlaceholder(char c) {
    switch (c) {
    case '9':
    case '0':
    case '#':
    case 'L':
    case 'l':
    case 'A':
    case 'a':
    case 'C':
    case 'c': return true;
    default: return false;
    }
}

// Characters that change how positions are typed without taking one.
bool isModifier(char c) { return c == '>' || c == '<' || c == '!'; }

bool isDigitPlaceholder(char c) { return c == '9' || c == '0' || c == '#'; }

std::string refusal(int pictType, const std::string& format) {
    const char* what = pictType == Zembra::ptContCtbl ? "Código de conta contábil" : "Código";
    return std::string(what) + " inválido para a máscara " + format + ".";
}

}  // namespace

namespace Tabvalid {

std::string PictureFormat(const std::string& picture) { return picture.substr(0, picture.find(';')); }

std::vector<int> PictureLevels(const std::string& picture) {
    const std::string format = PictureFormat(picture);
    std::vector<int> ends;
    int positions = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (isPlaceholder(c)) {
            ++positions;
        } else if (!isModifier(c)) {
            if (c == '\\') ++i;  // an escaped literal
            if (positions > 0 && (ends.empty() || ends.back() != positions)) ends.push_back(positions);
        }
    }
    if (positions > 0 && (ends.empty() || ends.back() != positions)) ends.push_back(positions);
    return ends;
}

std::string StripLiterals(const std::string& picture, const std::string& text) {
    const std::string format = PictureFormat(picture);
    std::string literals;
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c == '\\' && i + 1 < format.size()) c = format[++i];
        else if (isPlaceholder(c) || isModifier(c)) continue;
        literals += c;
    }
    std::string out;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c)) || c == '_') continue;
        if (literals.find(c) != std::string::npos) continue;
        out += c;
    }
    return out;
}

void ValidEx(const TDataSource* /*dataSource*/, int pictType, std::string& text, const std::vector<int>& options,
             const std::string& extra, bool /*flag*/) {
    const std::string picture = Zembra::DBPict(pictType);
    if (picture.empty()) return;  // a type without picture has nothing to check
    const std::string format = PictureFormat(picture);
    const std::string code = StripLiterals(picture, text);
    const std::vector<int> levels = PictureLevels(picture);
    const int total = levels.empty() ? 0 : levels.back();

    // Placeholders of the format in order, to check each typed character.
    std::string slots;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '\\') ++i;
        else if (isPlaceholder(format[i])) slots += format[i];
    }
    bool ok = !code.empty() && static_cast<int>(code.size()) <= total;
    for (std::size_t i = 0; ok && i < code.size(); ++i)
        if (isDigitPlaceholder(slots[i]) && !std::isdigit(static_cast<unsigned char>(code[i]))) ok = false;
    const bool byLevel = std::find(options.begin(), options.end(), voNivel) != options.end();
    if (ok && byLevel) ok = std::find(levels.begin(), levels.end(), static_cast<int>(code.size())) != levels.end();
    if (!ok) throw EValidError(extra.empty() ? refusal(pictType, format) : extra);
    text = code;
}

}  // namespace Tabvalid
