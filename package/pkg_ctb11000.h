// The module's one entry for a host: IniProc, exported with its plain name.
#pragma once

extern "C" void IniProc();
