// SetLancContabil and SetExcluiLancamento: a save replaces exactly its own
// entry, whatever else the packets carry; every refusal leaves the store
// exactly as it was.
#include "store_test_util.h"

#include <functional>
#include <sstream>

using namespace storetest;

namespace {

struct TLine {
    std::string Empresa, Nr, Seq, Conta;
    TDateTime Data;
    Variant Valor;
    std::string IdCome = "", CdCome = "", DsHist = "Lançamento de teste", Oper = "";
};

void AddLine(TDataPacket& p, const TLine& l) {
    TPacketRow row(p.Fields().size());
    auto set = [&](const char* f, Variant v) { row[static_cast<std::size_t>(p.FieldIndex(f))] = std::move(v); };
    set("CDFILLANC", "0001");
    set("CDEMPRESA", l.Empresa);
    set("NRLANCCONT", l.Nr);
    set("NRSEQLANC", l.Seq);
    set("CDHISTPADR", "0011");
    set("CDCONTCTBL", l.Conta);
    set("DTLANCCONT", l.Data);
    set("CDDOCUCONT", "123456");
    set("DSHISTLANC", l.DsHist);
    set("VRLANCAMENT", l.Valor);
    set("IDLANCCOME", l.IdCome);
    set("CDCONTCOME", l.CdCome);
    set("IDLANCINTE", "M");
    set("CDOPERINS", l.Oper);
    p.AppendRow(std::move(row));
}

void AddRateio(TDataPacket& p, const std::string& emp, const std::string& nr, const std::string& seq,
               const std::string& fil, const std::string& cc, Variant valor) {
    p.AppendRow({Variant(emp), Variant(nr), Variant(seq), Variant(fil), Variant(cc), std::move(valor), Variant(),
                 Variant(), Variant(D(kYear, 3, 10))});
}

// A valid new entry of company 01: an office-supplies line apportioned over
// two branches, paid from the cash account.
struct TNewEntry {
    std::string Empresa = "01";
    std::string Nr;
    TDataPacket Linhas{LancContFields()};
    TDataPacket Rateio{LancCCustoFields()};

    TNewEntry(TEntryStore& store, const std::string& empresa = "01", TDateTime data = D(kYear, 3, 10))
        : Empresa(empresa) {
        std::string anoMes = "202403";
        Nr = store.PrxLancContabil(empresa, anoMes);
        AddLine(Linhas, {empresa, Nr, "00001", "4110100003", data, Variant(-230.0)});
        AddLine(Linhas, {empresa, Nr, "00002", "1110100001", data, Variant(230.0)});
        AddRateio(Rateio, empresa, Nr, "00001", "0001", "1001", Variant(-130.0));
        AddRateio(Rateio, empresa, Nr, "00001", "0002", "2001", Variant(-100.0));
    }

    void Save(TEntryStore& store, const std::string& oper = "OPER.TESTE") {
        std::string nr = Nr, doc = "123456";
        store.SetLancContabil(Linhas, Rateio, Empresa, nr, doc, oper);
    }
};

// The dump without the rows of one entry of company 01.
std::string WithoutEntry(const std::string& dump, const std::string& nr) {
    std::istringstream in(dump);
    std::string line, out;
    while (std::getline(in, line))
        if (line.find("|01|" + nr + "|") == std::string::npos) out += line + "\n";
    return out;
}

TEST(Save, NewEntryIsStoredWithItsApportionmentAndReadBack) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    TNewEntry e(store);
    e.Save(store);

    TDataPacket lines = store.GetLancContFiltrado("01", e.Nr);
    ASSERT_EQ(lines.RecordCount(), 2u);
    EXPECT_DOUBLE_EQ(Number(lines, 0, "VRLANCAMENT"), -230.0);
    EXPECT_EQ(Cell(lines, 0, "NMCONTCTBL"), "Material de Escritório");
    EXPECT_EQ(Cell(lines, 0, "IDCONTCCUS"), "L");
    EXPECT_EQ(Cell(lines, 0, "CDOPERINS"), "OPER.TESTE");
    EXPECT_DOUBLE_EQ(Number(lines, 0, "DTLANCCONT"), D(kYear, 3, 10));
    EXPECT_GT(Number(lines, 0, "DTULTATULAN"), D(2000, 1, 1));

    TDataPacket rateio = store.GetLancCCusto("01", e.Nr);
    ASSERT_EQ(rateio.Fields(), LancCCustoFields());
    ASSERT_EQ(rateio.RecordCount(), 2u);
    EXPECT_EQ(Cell(rateio, 0, "CDFILIAL") + "/" + Cell(rateio, 0, "CDCENTCUST"), "0001/1001");
    EXPECT_EQ(Cell(rateio, 0, "NMCENTCUST"), "Administração");
    EXPECT_EQ(Cell(rateio, 1, "NMFILIAL"), "Filial Campinas");
    EXPECT_DOUBLE_EQ(Number(rateio, 1, "VRLANCCUST"), -100.0);
    EXPECT_DOUBLE_EQ(Number(rateio, 1, "DTCOMPCUSTO"), D(kYear, 3, 10));
}

TEST(Save, ReplacesOnlyItsOwnEntryWhileThePacketsCarryOthers) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    const std::string target = Nr(1, 5);
    // Everything loaded for the year, as the screen sends it.
    TDataPacket lines = store.GetLancCont(YearFilter("01"));
    TDataPacket rateio(LancCCustoFields());
    for (const std::string& nr : {Nr(1, 1), Nr(1, 4), target}) {
        TDataPacket r = store.GetLancCCusto("01", nr);
        for (std::size_t i = 0; i < r.RecordCount(); ++i) rateio.AppendRow(r.Row(i));
    }
    const std::string before = DumpEntries(db.Url());

    // Other entries carry edits that must not reach the store.
    for (std::size_t i = 0; i < lines.RecordCount(); ++i)
        if (Cell(lines, i, "NRLANCCONT") == Nr(1, 1)) Set(lines, i, "VRLANCAMENT", 999.0);
    for (std::size_t i = 0; i < rateio.RecordCount(); ++i)
        if (Cell(rateio, i, "NRLANCCONT") == Nr(1, 4)) Set(rateio, i, "VRLANCCUST", 1.0);
    // The target loses its first line; its supplier line now balances the rest.
    for (std::size_t i = lines.RecordCount(); i-- > 0;) {
        if (Cell(lines, i, "NRLANCCONT") != target) continue;
        if (Cell(lines, i, "NRSEQLANC") == "00001") lines.DeleteRow(i);
        else if (Cell(lines, i, "NRSEQLANC") == "00003") Set(lines, i, "VRLANCAMENT", 1200.0);
    }
    std::string nr = target, doc;
    store.SetLancContabil(lines, rateio, "01", nr, doc, "OUTRO");

    const std::string after = DumpEntries(db.Url());
    EXPECT_EQ(WithoutEntry(after, target), WithoutEntry(before, target));
    TDataPacket saved = store.GetLancContFiltrado("01", target);
    ASSERT_EQ(saved.RecordCount(), 2u);
    EXPECT_EQ(Cell(saved, 0, "NRSEQLANC"), "00002");
    EXPECT_DOUBLE_EQ(Number(saved, 1, "VRLANCAMENT"), 1200.0);
    EXPECT_EQ(Cell(saved, 0, "CDOPERINS"), "ANA.SOUZA");  // who inserted it stays
    EXPECT_EQ(store.GetLancCCusto("01", target).RecordCount(), 2u);
}

TEST(Save, ApportionmentOfLinesNoLongerInTheEntryIsNotStored) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    TNewEntry e(store);
    AddRateio(e.Rateio, "01", e.Nr, "00009", "0001", "1001", Variant(-5.0));
    e.Save(store);
    EXPECT_EQ(store.GetLancCCusto("01", e.Nr).RecordCount(), 2u);
}

TEST(Save, AmountsAreRoundedOnTheirDecimalDigits) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    TNewEntry e(store);
    e.Rateio.Clear();
    e.Linhas.Clear();
    AddLine(e.Linhas, {"01", e.Nr, "00001", "4110100003", D(kYear, 3, 10), Variant(-1.005)});
    AddLine(e.Linhas, {"01", e.Nr, "00002", "1110100001", D(kYear, 3, 10), Variant(1.005)});
    e.Save(store);
    EXPECT_EQ(
        Scalar(db.Url(), "SELECT VRLANCAMENT FROM LANCCONT WHERE NRLANCCONT = '" + e.Nr + "' AND NRSEQLANC = '00002'"),
        101);
}

TEST(Save, HostileTextsAreStoredAsData) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    TNewEntry e(store);
    const std::string evil = "'; DROP TABLE LANCCONT; -- 100% _x_ \"q\"";
    Set(e.Linhas, 0, "DSHISTLANC", evil);
    e.Save(store);
    TDataPacket lines = store.GetLancContFiltrado("01", e.Nr);
    EXPECT_EQ(Cell(lines, 0, "DSHISTLANC"), evil);
    EXPECT_GT(Scalar(db.Url(), "SELECT COUNT(*) FROM LANCCONT"), 100);
}

// ---------------------------------------------------------------- refusals

struct TRefusal {
    const char* Name;
    std::function<void(TEntryStore&, TNewEntry&)> Arrange;
    const char* Code;
    const char* Message;  // a part of the Portuguese message
};

void PrintTo(const TRefusal& r, std::ostream* os) { *os << r.Name; }

class Refused : public ::testing::TestWithParam<TRefusal> {};

TEST_P(Refused, LeavesTheStoreUnchanged) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    const TRefusal& c = GetParam();
    TNewEntry e(store);
    c.Arrange(store, e);
    const std::string before = DumpEntries(db.Url());
    try {
        e.Save(store);
        FAIL() << "saved";
    } catch (const ERpcError& err) {
        EXPECT_EQ(err.Code(), c.Code);
        EXPECT_NE(std::string(err.what()).find(c.Message), std::string::npos) << err.what();
    }
    EXPECT_EQ(DumpEntries(db.Url()), before);
}

void Value(TNewEntry& e, std::size_t row, Variant v) { Set(e.Linhas, row, "VRLANCAMENT", std::move(v)); }

// Puts a stored entry of the demo, unchanged, in place of the new one.
void UseStored(TEntryStore& store, TNewEntry& e, const std::string& nr) {
    e.Nr = nr;
    e.Linhas = store.GetLancContFiltrado(e.Empresa, nr);
    e.Rateio = store.GetLancCCusto(e.Empresa, nr);
}

INSTANTIATE_TEST_SUITE_P(
    Save, Refused,
    ::testing::Values(
        TRefusal{"NoLineOfTheEntry",
                 [](TEntryStore&, TNewEntry& e) { e.Nr = Nr(3, 999); }, "validacao", "não tem partidas"},
        TRefusal{"ZeroLineAfterRounding",
                 [](TEntryStore&, TNewEntry& e) {
                     Value(e, 0, -0.004);
                     Value(e, 1, 0.004);
                     e.Rateio.Clear();
                 },
                 "validacao", "Valor da partida deve ser diferente de zero"},
        TRefusal{"Unbalanced", [](TEntryStore&, TNewEntry& e) { Value(e, 1, 229.99); }, "validacao",
                 "Total de débito difere do total de crédito"},
        TRefusal{"UnbalancedOnceEachLineIsRounded",
                 [](TEntryStore&, TNewEntry& e) {
                     e.Rateio.Clear();
                     Value(e, 0, 33.334);
                     Value(e, 1, 33.333);
                     AddLine(e.Linhas, {"01", e.Nr, "00003", "2120100001", D(kYear, 3, 10), Variant(-66.667)});
                 },
                 "validacao", "Total de débito difere"},
        TRefusal{"AmountNotANumber", [](TEntryStore&, TNewEntry& e) { Value(e, 0, "-230"); },
                 "validacao", "número válido"},
        TRefusal{"UnknownAccount",
                 [](TEntryStore&, TNewEntry& e) { Set(e.Linhas, 1, "CDCONTCTBL", "9999999999"); },
                 "validacao", "Conta contábil não cadastrada"},
        TRefusal{"SyntheticAccount", [](TEntryStore&, TNewEntry& e) { Set(e.Linhas, 1, "CDCONTCTBL", "11101"); },
                 "validacao", "Partida 00002: Conta contábil não cadastrada."},
        TRefusal{"MissingAccountField",
                 [](TEntryStore&, TNewEntry& e) {
                     std::vector<TPacketField> fields = LancContFields();
                     fields.erase(fields.begin() + 5);  // CDCONTCTBL
                     e.Linhas = TDataPacket(fields);
                 },
                 "validacao", "campo CDCONTCTBL"},
        TRefusal{"DuplicateSequence", [](TEntryStore&, TNewEntry& e) { Set(e.Linhas, 1, "NRSEQLANC", "00001"); },
                 "validacao", "sequência repetida"},
        TRefusal{"HistoryTextTooLong",
                 [](TEntryStore&, TNewEntry& e) { Set(e.Linhas, 0, "DSHISTLANC", std::string(601, 'a')); },
                 "validacao", "excede 600"},
        TRefusal{"DateBeyondAnyCalendar",
                 [](TEntryStore&, TNewEntry& e) { Set(e.Linhas, 0, "DTLANCCONT", 1e300); },
                 "validacao", "Data do lançamento contábil inválida"},
        TRefusal{"DateOutsideAccountingPeriod",
                 [](TEntryStore&, TNewEntry& e) { Set(e.Linhas, 0, "DTLANCCONT", D(kYear + 1, 1, 2)); },
                 "periodo", "fora do período contábil"},
        TRefusal{"DateOutsidePostingPeriod",
                 [](TEntryStore& s, TNewEntry& e) {
                     e = TNewEntry(s, "03", D(kYear - 1, 6, 1));
                     e.Rateio.Clear();
                 },
                 "periodo", "fora do período de lançamento contábil"},
        TRefusal{"CompanyWithoutParameters",
                 [](TEntryStore& s, TNewEntry& e) {
                     e = TNewEntry(s, "04");
                     e.Rateio.Clear();
                 },
                 "periodo", "fora do período contábil"},
        TRefusal{"UnknownCompany",
                 [](TEntryStore&, TNewEntry& e) {
                     e.Empresa = "77";
                     for (std::size_t i = 0; i < e.Linhas.RecordCount(); ++i) Set(e.Linhas, i, "CDEMPRESA", "77");
                     e.Rateio.Clear();
                 },
                 "validacao", "Empresa não cadastrada"},
        TRefusal{"ApportionmentSumDiffers",
                 [](TEntryStore&, TNewEntry& e) { Set(e.Rateio, 1, "VRLANCCUST", -99.99); }, "validacao",
                 "Soma dos rateios difere do valor da partida"},
        TRefusal{"ApportionmentPairRepeated",
                 [](TEntryStore&, TNewEntry& e) {
                     Set(e.Rateio, 1, "CDFILIAL", "0001");
                     Set(e.Rateio, 1, "CDCENTCUST", "1001");
                 },
                 "validacao", "já informado"},
        TRefusal{"ZeroApportionment",
                 [](TEntryStore&, TNewEntry& e) {
                     AddRateio(e.Rateio, "01", e.Nr, "00001", "0003", "1001", Variant(0.0));
                 },
                 "validacao", "Valor de rateio deve ser diferente de zero"},
        TRefusal{"UnknownBranch",
                 [](TEntryStore&, TNewEntry& e) { Set(e.Rateio, 1, "CDFILIAL", "0099"); }, "validacao",
                 "Filial não cadastrada"},
        TRefusal{"UnknownCostCentre",
                 [](TEntryStore&, TNewEntry& e) { Set(e.Rateio, 1, "CDCENTCUST", "9999"); }, "validacao",
                 "Centro de custo não cadastrado"},
        TRefusal{"BranchOfAnotherCompany",
                 [](TEntryStore&, TNewEntry& e) {
                     Set(e.Rateio, 1, "CDFILIAL", "0004");
                     Set(e.Rateio, 1, "CDCENTCUST", "3001");
                 },
                 "validacao", "Partida 00001: Final informada não está relacionada à empresa do lançamento"},
        TRefusal{"CostCentreOfAnotherBranch",
                 [](TEntryStore&, TNewEntry& e) { Set(e.Rateio, 1, "CDCENTCUST", "3002"); }, "validacao",
                 "Partida 00001: Centro de custo não cadastrado para filial informada."},
        TRefusal{"ManagementLineWithoutApportionment",
                 [](TEntryStore&, TNewEntry& e) {
                     Set(e.Linhas, 0, "CDCONTCTBL", "4110100004");
                     e.Rateio.Clear();
                 },
                 "validacao", "Partida 00001: Rateio deve ser informado para contas gerenciais"},
        TRefusal{"ApportionmentOnALineThatTakesNone",
                 [](TEntryStore&, TNewEntry& e) { Set(e.Linhas, 0, "CDCONTCTBL", "4110100006"); }, "validacao",
                 "Partida 00001: A conta da partida não aceita rateio por centro de custo."},
        TRefusal{"NoDocument", [](TEntryStore&, TNewEntry& e) { Set(e.Linhas, 1, "CDDOCUCONT", " "); },
                 "validacao", "Partida 00002: Documento deve ser informado."},
        TRefusal{"NoHistory", [](TEntryStore&, TNewEntry& e) { Set(e.Linhas, 0, "CDHISTPADR", Variant()); },
                 "validacao", "Partida 00001: Histórico Padrão deve ser informado."},
        TRefusal{"UnknownHistory", [](TEntryStore&, TNewEntry& e) { Set(e.Linhas, 0, "CDHISTPADR", "11"); },
                 "validacao", "Partida 00001: Histórico padrão não cadatrado."},
        TRefusal{"SameAccountOnBothSides",
                 [](TEntryStore&, TNewEntry& e) {
                     Set(e.Linhas, 0, "CDCONTCTBL", "1110100001");
                     e.Rateio.Clear();
                 },
                 "validacao", "Partida 00001: Não é possível, no mesmo lançamento, terem partidas de débito"},
        TRefusal{"CommercialCodeMissing",
                 [](TEntryStore&, TNewEntry& e) {
                     Set(e.Linhas, 1, "CDCONTCTBL", "1120100001");
                     Set(e.Linhas, 1, "IDLANCCOME", "C");
                 },
                 "validacao", "Partida 00002: Código comercial deve ser informado."},
        TRefusal{"CommercialCodeUnknown",
                 [](TEntryStore&, TNewEntry& e) {
                     Set(e.Linhas, 1, "CDCONTCTBL", "1120100001");
                     Set(e.Linhas, 1, "CDCONTCOME", "999999");
                 },
                 "validacao", "Partida 00002: Código comercial inválido."},
        TRefusal{"CommercialCodeOfAnotherKind",
                 [](TEntryStore&, TNewEntry& e) {
                     Set(e.Linhas, 1, "CDCONTCTBL", "1120100001");
                     Set(e.Linhas, 1, "IDLANCCOME", "F");
                     Set(e.Linhas, 1, "CDCONTCOME", "000001");
                 },
                 "validacao", "Partida 00002: Código comercial inválido."},
        TRefusal{"BankCodeTooLong",
                 [](TEntryStore&, TNewEntry& e) {
                     Set(e.Linhas, 1, "CDCONTCTBL", "1110100002");
                     Set(e.Linhas, 1, "IDLANCCOME", "B");
                     Set(e.Linhas, 1, "CDCONTCOME", "0001");
                 },
                 "validacao", "Partida 00002: Código de conta bancária deve ter no máximo 3 caracteres."},
        TRefusal{"ShareWithoutBranch", [](TEntryStore&, TNewEntry& e) { Set(e.Rateio, 1, "CDFILIAL", ""); },
                 "validacao", "Partida 00001: Filial deve ser informada."},
        TRefusal{"ShareWithoutCompetence", [](TEntryStore&, TNewEntry& e) { Set(e.Rateio, 0, "DTCOMPCUSTO", Variant()); },
                 "validacao", "Partida 00001: Data de competência deve ser informada."},
        TRefusal{"EntryOfABatch", [](TEntryStore& s, TNewEntry& e) { UseStored(s, e, Nr(1, 2)); }, "lote",
                 "manutenção no lote 000123."},
        TRefusal{"ClosingEntry", [](TEntryStore& s, TNewEntry& e) { UseStored(s, e, Nr(12, 1)); }, "lote",
                 "lote 000900."},
        TRefusal{"EntryTiedToATaxMap", [](TEntryStore& s, TNewEntry& e) { UseStored(s, e, Nr(1, 3)); },
                 "mapa", "mapa de apuração Janeiro/2024-Imposto: ICMS."},
        TRefusal{"NoEntryNumber", [](TEntryStore&, TNewEntry& e) { e.Nr = "  "; }, "validacao",
                 "Número do lançamento contábil deve ser informado"}),
    [](const ::testing::TestParamInfo<TRefusal>& info) { return std::string(info.param.Name); });

// ---------------------------------------------------------------- delete

TEST(Delete, RemovesTheEntryAndItsApportionmentOnly) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    const std::string before = DumpEntries(db.Url());
    std::string nr = Nr(1, 1);
    store.SetExcluiLancamento("01", nr);
    EXPECT_EQ(DumpEntries(db.Url()), WithoutEntry(before, Nr(1, 1)));
    EXPECT_NE(DumpEntries(db.Url()), before);
    EXPECT_EQ(store.GetLancCCusto("01", Nr(1, 1)).RecordCount(), 0u);
}

TEST(Delete, RefusesProtectedAndUnknownEntriesWithoutChange) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    const std::string before = DumpEntries(db.Url());
    const std::pair<std::string, std::string> cases[] = {
        {Nr(1, 2), "lote"}, {Nr(12, 2), "lote"}, {Nr(1, 3), "mapa"}, {Nr(5, 999), "validacao"}};
    for (const auto& [entry, code] : cases) {
        std::string nr = entry;
        try {
            store.SetExcluiLancamento("01", nr);
            ADD_FAILURE() << entry << " deleted";
        } catch (const ERpcError& e) {
            EXPECT_EQ(e.Code(), code) << entry;
        }
    }
    EXPECT_EQ(DumpEntries(db.Url()), before);
}

}  // namespace
