// Consiste: the small checks and conversions every screen leans on.
//
// Error reporting follows the framework's rule: MensErro(text, true) shows an
// error box and throws EAbort, which the dispatcher swallows, so the running
// handler and the data-set operation that called it are abandoned silently.
#pragma once

#include <string>

class TDBGrid;
class TWinControl;
class TRpcValue;

namespace Consiste {

// True for an empty or blank text; also for the text of an unfilled date
// edit ("  /  /    " or "__/__/____").
bool EmptyString(const std::string& text);

// Shows text in an error box through the ui services; with abort true it
// then throws EAbort and never returns.
void MensErro(const std::string& text, bool abort);

// Rounds half away from zero on the decimal value a person reads: the value
// is taken at 15 significant digits first, so binary noise never decides a
// half (1.005 -> 1.01, 0.125 -> 0.13, -0.006 -> -0.01). decimals may be
// negative (tens, hundreds). NaN and infinities come back unchanged; a result
// of zero is always +0.
double RoundDec(double value, int decimals);

// An application server answer is either a value or an error object. A value
// comes back as it is; an error is shown in an error box with the server's
// text and, with abort true, throws EAbort (with abort false the error object
// itself is returned). helpCtx is kept for the call's shape; it is unused.
TRpcValue CheckResultServ(const TRpcValue& result, bool abort, int helpCtx);

// Trims blanks and left-pads with "0" to width ("1", 2 -> "01"); a longer
// text comes back trimmed but never cut.
std::string Ajusta(const std::string& text, int width);

// Index among the grid's columns of the column bound to fieldName (case
// ignored); -1 when no column shows it.
int IndiceCol(const TDBGrid* grid, const std::string& fieldName);

// Edit mask of a registration number by person kind: "F" (CPF) or "J" (CNPJ),
// case ignored; "" for any other kind.
std::string PictPess(const std::string& kind);

// text repeated count times; "" for a count of zero or less.
std::string Replicate(const std::string& text, int count);

// Sets Enabled of every control the container holds directly (a nested
// control follows its container through CanFocus).
void SetChildEnabled(TWinControl* container, bool enabled);

}  // namespace Consiste
