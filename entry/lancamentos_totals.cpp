// Debit and credit totals of the entry shown, the display of line values
// and history cells, and the filter texts the screen puts on its line and
// apportionment data sets.
#include "entry/frmlancamentos.h"

#include "contracts/consiste.h"
#include "ledger/rules.h"
#include "platform/data/format.h"

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

std::string FiltroRateio(const std::string& nrLancCont, const std::string& cdEmpresa, const std::string& nrSeqLanc) {
    return "NRLANCCONT = " + Quoted(nrLancCont) + " AND CDEMPRESA  = " + Quoted(cdEmpresa) +
           " AND NRSEQLANC  = " + Quoted(nrSeqLanc);
}

std::string FiltroPartidaEspelho(const std::string& cdEmpresa, const std::string& nrLancCont,
                                 const std::string& nrSeqLanc) {
    return "CDEMPRESA  = " + Quoted(cdEmpresa) + " AND NRLANCCONT = " + Quoted(nrLancCont) +
           " AND NRSEQLANC  = " + Quoted(nrSeqLanc);
}

std::string FiltroRateioConfirmacao(const std::string& nrSeqLanc, const std::string& cdEmpresa,
                                    const std::string& nrLancCont) {
    return "NRSEQLANC = " + Quoted(nrSeqLanc) + " AND CDEMPRESA = " + Quoted(cdEmpresa) +
           " AND NRLANCCONT = " + Quoted(nrLancCont);
}

std::string FiltroDebitoCredito(const std::string& nrLancCont, const std::string& cdEmpresa) {
    return "NRLANCCONT = " + Quoted(nrLancCont) + " AND CDEMPRESA  = " + Quoted(cdEmpresa);
}

// Positive values are credits, the others debits (as absolute values), each
// line taken at cents as the confirmation takes it. The filter stays on
// cdsDebitoCredito after the sum (the same-account rule of the line post
// builds on it).
void TfrmLancamentos::CalculaDebitoCredito() {
    ndeCredito->SetNumber(0);
    ndeDebito->SetNumber(0);
    cdsDebitoCredito->SetFiltered(false);
    cdsDebitoCredito->SetFilter(
        FiltroDebitoCredito(cdsLancContNRLANCCONT->AsString(), cdsLancContCDEMPRESA->AsString()));
    cdsDebitoCredito->SetFiltered(true);
    if (!cdsDebitoCredito->Active()) return;  // nothing loaded yet
    TField* valor = cdsDebitoCredito->FieldByName("VRLANCAMENT");
    std::vector<ledger::TCents> valores;
    for (cdsDebitoCredito->First(); !cdsDebitoCredito->Eof(); cdsDebitoCredito->Next())
        valores.push_back(ledger::Cents(valor->AsFloat()));
    const ledger::TTotals totais = ledger::Totals(valores);
    ndeCredito->SetNumber(ledger::Amount(totais.Credit));
    ndeDebito->SetNumber(ledger::Amount(totais.Debit));
}

// ---- line display ------------------------------------------------------------

std::string TextoValorLancamento(const Variant& valor, bool editando) {
    if (valor.IsNull()) return {};
    const double v = valor.AsFloat();
    if (editando) return FormatFloat("#,##0.00", v);
    // The rounded value is both tested and shown, so 1.005 reads 1,01 CR.
    const double r = Consiste::RoundDec(v, 2);
    if (r > 0) return FormatFloat("#,##0.00", r) + " CR";
    if (r < 0) return FormatFloat("#,##0.00", -r) + " DB";
    return {};
}

void TfrmLancamentos::cdsLancContVRLANCAMENTGetText(TField* Sender, std::string& Text, bool) {
    Text = TextoValorLancamento(Sender->Value(), dbgPadrao->EditorActive());
}

namespace {

// Characters, not bytes: a history in Portuguese is cut between letters.
bool StartsCharacter(unsigned char byte) { return (byte & 0xC0) != 0x80; }

}  // namespace

TCelulaHistorico CelulaHistorico(const std::string& historico) {
    constexpr int kMostrados = 33;
    TCelulaHistorico cel;
    int chars = 0;
    std::size_t corte = historico.size();
    for (std::size_t i = 0; i < historico.size(); ++i) {
        if (!StartsCharacter(static_cast<unsigned char>(historico[i]))) continue;
        if (chars == kMostrados) {
            corte = i;
            cel.Glifo = true;
            break;
        }
        ++chars;
    }
    cel.Texto = historico.substr(0, corte);
    return cel;
}

// The history column is drawn over the grid's default drawing: the first 33
// characters in the first 170 pixels, and the glyph of imgEsp in the last 30
// when the text goes on (a double click shows it whole).
void TfrmLancamentos::dbgLancContDrawColumnCell(TObject* Sender, const TRect& Rect, int, TColumn* Column,
                                                TGridDrawState) {
    if (!Column || Column->FieldName != "DSHISTLANC") return;
    auto* grid = dynamic_cast<TDBGrid*>(Sender);
    TDataSet* ds = grid ? grid->DataSet() : nullptr;
    TField* hist = ds && ds->Active() ? ds->FindField("DSHISTLANC") : nullptr;
    celHistorico = CelulaHistorico(hist ? hist->AsString() : std::string());
    TCanvas* canvas = grid ? grid->Canvas : nullptr;
    if (!canvas) return;
    canvas->FillRect(Rect);
    if (celHistorico.Glifo) {
        const TRect dest{Rect.Left + 170, Rect.Top, Rect.Left + 170 + imgEsp->Width, Rect.Bottom};
        const TRect source{0, 0, imgEsp->Width, Rect.Height()};
        canvas->BrushCopy(dest, imgEsp, source, clOlive);
    }
    const TRect clip{Rect.Left + 1, Rect.Top, Rect.Left + 1 + Column->Width - 30, Rect.Bottom};
    canvas->TextRect(clip, Rect.Left + 3, Rect.Top + 3, celHistorico.Texto);
}
