// What reaches the store from outside is checked before it is stored or
// matched: texts must be UTF-8, a save must carry a number the numbering
// handed out, the operator name is cut at a character, an empty code is in no
// list, a failing database is reported in plain words. Every refusal leaves
// the store as it was.
#include "store_test_util.h"

#include "platform/net/utf8.h"

#include <algorithm>

using namespace storetest;

namespace {

class Untrusted : public ::testing::Test {
protected:
    void SetUp() override { store_ = std::make_unique<TEntryStore>(db_.Url()); }

    std::string Reserve(std::string anoMes = "202403") { return store_->PrxLancContabil("01", anoMes); }

    // A balanced entry of company 01 without apportionment, cash against a tax.
    std::vector<TRpcValue> SaveArgs(const std::string& nr, const std::string& oper = "OPER") {
        TDataPacket lines(LancContFields());
        for (int i = 1; i <= 2; ++i) {
            TPacketRow row(lines.Fields().size());
            auto set = [&](const char* f, Variant v) { row[static_cast<std::size_t>(lines.FieldIndex(f))] = v; };
            set("CDEMPRESA", "01");
            set("NRLANCCONT", nr);
            set("NRSEQLANC", "0000" + std::to_string(i));
            set("CDCONTCTBL", i == 1 ? "1110100001" : "2120100001");
            set("CDHISTPADR", "0001");
            set("CDDOCUCONT", "NF1");
            set("DTLANCCONT", D(kYear, 3, 10));
            set("VRLANCAMENT", i == 1 ? -50.0 : 50.0);
            set("DSHISTLANC", "Troco do caixa");
            lines.AppendRow(std::move(row));
        }
        return {TRpcValue(lines), TRpcValue(TDataPacket(LancCCustoFields())),
                TRpcValue("01"),  TRpcValue(nr),
                TRpcValue(""),    TRpcValue(oper)};
    }

    std::string Refusal(const std::string& method, std::vector<TRpcValue> args) {
        try {
            store_->Call(method, args);
        } catch (const ERpcError& e) {
            return e.Code() + ": " + e.what();
        }
        return "(aceito)";
    }

    TDemoCopy db_;
    std::unique_ptr<TEntryStore> store_;
};

void SetCell(std::vector<TRpcValue>& args, const char* field, Variant v) {
    TDataPacket lines = args[0].Packet();
    Set(lines, 0, field, std::move(v));
    args[0] = TRpcValue(lines);
}

TEST_F(Untrusted, TextThatIsNotUtf8IsRefusedWhereverItIsSent) {
    const std::string bad = "A\xC3(";
    const std::string nr = Reserve();
    const std::vector<std::pair<std::string, std::vector<TRpcValue>>> calls = {
        {"GetLancCont", FilterArgs(YearFilter("01"))},
        {"PrxLancContabil", {TRpcValue("01"), TRpcValue("202403")}},
        {"GetLancContFiltrado", {TRpcValue("01"), TRpcValue(Nr(1, 1))}},
        {"GetLancCCusto", {TRpcValue("01"), TRpcValue(Nr(1, 1))}},
        {"SetLancContabil", SaveArgs(nr)},
        {"SetExcluiLancamento", {TRpcValue("01"), TRpcValue(Nr(1, 1))}},
        {"getEmprRelac", {TRpcValue("01"), TRpcValue("0001")}},
        {"getCdLote", {TRpcValue("01"), TRpcValue(Nr(1, 1))}},
        {"ValidaMapa", {TRpcValue("01"), TRpcValue(Nr(1, 1))}},
    };
    const std::string before = DumpEntries(db_.Url());
    for (const auto& [method, args] : calls)
        for (std::size_t i = 0; i < args.size(); ++i) {
            const Variant* text = args[i].IsScalar() ? &args[i].Scalar() : nullptr;
            if (!text || text->kind() != Variant::Kind::String) continue;
            std::vector<TRpcValue> sent = args;
            sent[i] = TRpcValue(bad);
            const std::string refusal = Refusal(method, sent);
            EXPECT_EQ(refusal.rfind("tipo: O argumento " + std::to_string(i + 1), 0), 0u) << method << ": " << refusal;
            EXPECT_NE(refusal.find("UTF-8"), std::string::npos) << refusal;
        }

    // In the packets: a 10,000-byte history, a 100-byte document, a sequence (part of the key).
    for (const auto& [field, text] :
         std::vector<std::pair<const char*, std::string>>{{"DSHISTLANC", std::string(10000, '\x80')},
                                                          {"CDDOCUCONT", std::string(100, '\xA0')},
                                                          {"NRSEQLANC", "00001\xFF"}}) {
        std::vector<TRpcValue> args = SaveArgs(nr);
        SetCell(args, field, Variant(text));
        const std::string refusal = Refusal("SetLancContabil", args);
        EXPECT_EQ(refusal.rfind(std::string("validacao: O campo ") + field, 0), 0u) << refusal;
        EXPECT_TRUE(IsValidUtf8(refusal));
    }
    EXPECT_EQ(DumpEntries(db_.Url()), before);

    // Limits count characters: 600 of "ç" (1,200 bytes) are a history that fits.
    std::vector<TRpcValue> args = SaveArgs(nr);
    std::string cedillas;
    for (int i = 0; i < 600; ++i) cedillas += "ç";
    SetCell(args, "DSHISTLANC", Variant(cedillas));
    EXPECT_EQ(Refusal("SetLancContabil", args), "(aceito)");
}

TEST_F(Untrusted, OperatorNamesAreCutAtACharacterNotInsideOne) {
    const std::string nr = Reserve();
    std::vector<TRpcValue> args = SaveArgs(nr, "JOSÉ.ASSUNÇÃO");
    store_->Call("SetLancContabil", args);
    const TDataPacket stored = store_->GetLancContFiltrado("01", nr);
    ASSERT_EQ(stored.RecordCount(), 2u);
    EXPECT_EQ(Cell(stored, 0, "CDOPERINS"), "JOSÉ.ASSUNÇÃ");
}

TEST_F(Untrusted, OnlyNumbersTheNumberingHandedOutAreSaved) {
    const std::string issued = Reserve("202403");
    const std::string notYet = issued.substr(0, 6) + "999998";
    const std::string before = DumpEntries(db_.Url());
    for (const std::string& nr :
         {std::string("202701999999"), std::string("%"), std::string("X"), std::string("202403000000"),
          std::string("202413000001"), notYet, std::string(" 20240300001")}) {
        const std::string refusal = Refusal("SetLancContabil", SaveArgs(nr));
        EXPECT_EQ(refusal.rfind("validacao: ", 0), 0u) << nr << ": " << refusal;
        EXPECT_NE(refusal.find("úmero"), std::string::npos) << refusal;
    }
    EXPECT_EQ(DumpEntries(db_.Url()), before);
    // The month the refused number named goes on numbering from its start.
    EXPECT_EQ(Reserve("202701"), "202701000001");

    EXPECT_EQ(Refusal("SetLancContabil", SaveArgs(issued)), "(aceito)");
    std::vector<TRpcValue> stored = {TRpcValue(store_->GetLancContFiltrado("01", Nr(1, 5))),
                                     TRpcValue(store_->GetLancCCusto("01", Nr(1, 5))),
                                     TRpcValue("01"),
                                     TRpcValue(Nr(1, 5)),
                                     TRpcValue(""),
                                     TRpcValue("OPER")};
    EXPECT_EQ(Refusal("SetLancContabil", stored), "(aceito)");
}

TEST_F(Untrusted, AnEmptyCodeMatchesNoCodeList) {
    const std::string nr = Reserve();
    EXPECT_EQ(Refusal("SetLancContabil", SaveArgs(nr)), "(aceito)");
    {
        // Lines written elsewhere may have no history code (the rules refuse it here).
        auto session = OpenTestSession(db_.Url());
        soci::session& sql = *session;
        sql << "UPDATE LANCCONT SET CDHISTPADR = '' WHERE NRLANCCONT = :n", soci::use(nr);
    }
    TLancFiltro f = YearFilter("01");
    f.Hist = "_0001__0002_";
    const std::vector<std::string> entries = Entries(store_->GetLancCont(f));
    EXPECT_GT(entries.size(), 0u);
    EXPECT_EQ(std::count(entries.begin(), entries.end(), nr), 0);
}

TEST_F(Untrusted, ADatabaseFailureIsShownPlainlyAndLoggedInFull) {
    {
        auto session = OpenTestSession(db_.Url());
        soci::session& sql = *session;
        sql << "DROP TABLE LANCCCUSTO";
    }
    testing::internal::CaptureStderr();
    const std::string refusal = Refusal("GetLancCCusto", {TRpcValue("01"), TRpcValue(Nr(1, 1))});
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(refusal.rfind("banco: Não foi possível ler o banco de dados. Tente novamente", 0), 0u) << refusal;
    EXPECT_EQ(refusal.find("LANCCCUSTO"), std::string::npos) << refusal;
    EXPECT_NE(log.find("LANCCCUSTO"), std::string::npos) << log;
}

}  // namespace
