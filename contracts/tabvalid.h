// Tabvalid: checks a code typed against the picture of its code type.
//
// A picture such as "9.9.9.99.99999;0;_" splits the code into levels; a code
// is stored without the picture's literals, and a valid code ends a level
// (for the default account picture: 1, 2, 3, 5 or 10 digits), so a synthetic
// account ("1", "11", "111", "11101") and an analytic one (ten digits) both
// pass, while "1110" does not.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

class TDataSource;

namespace Tabvalid {

// Refusal of a code; what() is Portuguese and fit to show a bookkeeper.
class EValidError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Option of ValidEx: the code must end a level of the picture. Without it
// only the characters and the total length are checked.
inline constexpr int voNivel = 1;

// The edit part of a picture ("9.9.9.99.99999" of "9.9.9.99.99999;0;_").
std::string PictureFormat(const std::string& picture);
// Lengths, without literals, at which the picture's levels end ({1,2,3,5,10}).
std::vector<int> PictureLevels(const std::string& picture);
// The text without the picture's literals, blanks and blank characters.
std::string StripLiterals(const std::string& picture, const std::string& text);

// Validates text against the picture of pictType (Zembra::DBPict). The text
// is first freed of the literals typed in it and written back. A refusal
// throws EValidError; extra, when not empty, is the refusal's text instead of
// the standard one. The data source and flag are part of the suite's call
// shape: existence of the code is the caller's own query's to check.
void ValidEx(const TDataSource* dataSource, int pictType, std::string& text, const std::vector<int>& options,
             const std::string& extra, bool flag);

}  // namespace Tabvalid
