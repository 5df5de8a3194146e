#include "listing/frmlanclista.h"

TfrmLancLista* frmLancLista = nullptr;

TfrmLancLista::~TfrmLancLista() {
    if (frmLancLista == this) frmLancLista = nullptr;
}
