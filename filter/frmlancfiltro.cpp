// Unit globals of the filter dialog and its creation function. The dialog
// has no created-flag of its own: the entry screen's boFiltroCriado ties it
// to one entry-screen instance.
#include "filter/frmlancfiltro.h"

#include "entry/frmlancamentos.h"

TfrmLancFiltro* frmLancFiltro = nullptr;

TfrmLancFiltro::~TfrmLancFiltro() {
    if (frmLancFiltro == this) frmLancFiltro = nullptr;
}

void CriaLancFiltro() {
    // A dialog destroyed behind the screen's back (the host closing every
    // form) is created again rather than shown from a dangling pointer.
    if (!frmLancamentos->boFiltroCriado || !frmLancFiltro) {
        Application->CreateForm(frmLancFiltro);
        frmLancamentos->boFiltroCriado = true;
    }
    frmLancFiltro->ShowModal();
}
