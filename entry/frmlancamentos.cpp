#include "entry/frmlancamentos.h"

#include "contracts/formbuild.h"
#include "filter/frmlancfiltro.h"
#include "listing/frmlanclista.h"
#include "contracts/cursor.h"
#include "platform/data/datetime.h"

#include <cstdio>

TfrmLancamentos* frmLancamentos = nullptr;
bool bostcriado = false;

TfrmLancamentos::TfrmLancamentos(TComponent* owner) : TfrmPadrao(owner), TPublishedMembers("TfrmLancamentos") {
    Name = "frmLancamentos";
    Caption = "Lançamento Contábil";
    lblCodTela->Caption = "CTB11000";
    FormStyle = fsMDIChild;
    Width = 1179;
    Height = 493;

    spbFiltro = FormBuild::Control<TButtonFlat>(this, panMenu, "spbFiltro");
    spbFiltro->Hint = "Filtrar";
    spbFiltro->ShowHint = true;
    spbFiltro->Tag = 50;
    spbFiltro->Enabled = false;
    spbFiltro->Left = 4 + 64 * (panMenu->ControlCount() - 1);
    spbFiltro->Top = 4;
    spbFiltro->Width = 60;
    spbFiltro->Height = 32;

    // The screen definition (frmlancamentos_def.cpp); queries before the
    // data sources that show them.
    defineCompanyPanel();
    defineFormPage();
    defineLineDataSets();
    defineApportionmentDataSets();
    defineLookupQueries();
    defineDataSources();
    defineMessages();
    defineConnection();
    bindHandlers();
    publishMembers();
}

// However the screen goes (its close, or the host destroying every form), it
// must not stay reachable through the global nor counted as existing.
TfrmLancamentos::~TfrmLancamentos() {
    if (frmLancamentos == this) {
        frmLancamentos = nullptr;
        bostcriado = false;
    }
    // The pages leave their page control before the owner destroys them (in
    // reverse order of creation, pages first): the page control must not
    // keep them as its pages once they are gone.
    for (TTabSheet* page : {tshFormulario, tshFolhaDados}) page->SetPageControl(nullptr);
}

namespace {

// Amounts as published members read: a decimal point, two decimals.
std::string Amount(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

}  // namespace

void TfrmLancamentos::publishMembers() {
    PublishText("stUltDocu", &stUltDocu);
    PublishText("stFilialAnt", &stFilialAnt);
    PublishText("stCentCustAnt", &stCentCustAnt);
    Publish("dtUltLanc", [this] { return DateToStr(dtUltLanc); });
    Publish("vrContrapartida", [this] { return Amount(vrContrapartida); });
    Publish("vrRestoRateio", [this] { return Amount(vrRestoRateio); });
    PublishBool("boFiltroCriado", &boFiltroCriado);
    PublishBool("boAlterado", &boAlterado);
    PublishBool("boNovoLanc", &boNovoLanc);
    PublishBool("boEmRateio", &boEmRateio);
    Publish("nrProxSeq", [this] { return std::to_string(nrProxSeq); });
    PublishText("stNrLancCont", &stNrLancCont);
    PublishText("stHistAnt", &stHistAnt);
    PublishText("stDsHistAnt", &stDsHistAnt);
}

// Every print request gets a fresh listing form.
void TfrmLancamentos::sbtImprimirClick(TObject*) {
    Application->CreateForm(frmLancLista);
    frmLancLista->ShowModal();
}

void TfrmLancamentos::spbFiltroClick(TObject*) { CriaLancFiltro(); }

void CriaLancamentos() {
    TCursorScope hourglass(crHourGlass);
    if (!bostcriado) {
        Application->CreateForm(frmLancamentos);
        bostcriado = true;
    }
    frmLancamentos->Show();
    frmLancamentos->WindowState = wsNormal;
}
