// Debit and credit totals of the entry shown, and the filter texts the
// screen puts on its line and apportionment data sets.
#include "entry/frmlancamentos.h"

#include <cmath>

namespace {

// A value as a quoted filter literal.
std::string Quoted(const std::string& value) {
    std::string out = "'";
    for (char c : value) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

}  // namespace

std::string FiltroLancamento(const std::string& cdEmpresa, const std::string& nrLancCont) {
    return "CDEMPRESA = " + Quoted(cdEmpresa) + "AND NRLANCCONT = " + Quoted(nrLancCont);
}

std::string FiltroRateio(const std::string& nrLancCont, const std::string& cdEmpresa,
                         const std::string& nrSeqLanc) {
    return "NRLANCCONT = " + Quoted(nrLancCont) + " AND CDEMPRESA  = " + Quoted(cdEmpresa) +
           " AND NRSEQLANC  = " + Quoted(nrSeqLanc);
}

std::string FiltroDebitoCredito(const std::string& nrLancCont, const std::string& cdEmpresa) {
    return "NRLANCCONT = " + Quoted(nrLancCont) + " AND CDEMPRESA  = " + Quoted(cdEmpresa);
}

// Positive values are credits, the others debits (as absolute values). The
// filter stays on cdsDebitoCredito after the sum.
void TfrmLancamentos::CalculaDebitoCredito() {
    ndeCredito->SetNumber(0);
    ndeDebito->SetNumber(0);
    cdsDebitoCredito->SetFiltered(false);
    cdsDebitoCredito->SetFilter(
        FiltroDebitoCredito(cdsLancContNRLANCCONT->AsString(), cdsLancContCDEMPRESA->AsString()));
    cdsDebitoCredito->SetFiltered(true);
    TField* valor = cdsDebitoCredito->FieldByName("VRLANCAMENT");
    for (cdsDebitoCredito->First(); !cdsDebitoCredito->Eof(); cdsDebitoCredito->Next()) {
        const double v = valor->AsFloat();
        if (v > 0) ndeCredito->SetNumber(ndeCredito->Number() + v);
        else ndeDebito->SetNumber(ndeDebito->Number() + std::fabs(v));
    }
}
