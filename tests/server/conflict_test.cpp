// Two bookkeepers on one entry: a confirm or a delete of an entry that
// someone else saved or deleted since it was opened is refused, names who and
// when, and changes nothing; the same bookkeeper confirming again is not a
// conflict. Each bookkeeper is a client session of its own, as the server
// sees the connections of two desktops.
#include "server/rpc_session.h"
#include "store_test_util.h"

using namespace storetest;

namespace {

// One desktop's entry screen: the entry as it loaded it, sent back on confirm.
struct TBookkeeper {
    TRpcCaller Caller;
    TDataPacket Lines, Rateio;

    TBookkeeper(const std::string& session, const std::string& oper) : Caller{session, oper} {}

    void Open(TEntryStore& store, const std::string& nr) {
        TRpcCallerScope scope(Caller);
        Lines = store.GetLancContFiltrado("01", nr);
        Rateio = store.GetLancCCusto("01", nr);
    }
    void Confirm(TEntryStore& store, const std::string& nr) {
        TRpcCallerScope scope(Caller);
        std::string n = nr, doc;
        store.SetLancContabil(Lines, Rateio, "01", n, doc, Caller.Operator);
    }
    void Delete(TEntryStore& store, const std::string& nr) {
        TRpcCallerScope scope(Caller);
        std::string n = nr;
        store.SetExcluiLancamento("01", n);
    }
};

// The refusal's code and message ("" when the action went through).
template <class F> std::string Refusal(F&& action) {
    try {
        action();
        return "";
    } catch (const ERpcError& e) {
        return e.Code() + ": " + e.what();
    }
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Conflict, ConfirmOverAnotherBookkeepersSaveIsRefusedAndOverwritesNothing) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    const std::string nr = Nr(1, 5);
    TBookkeeper joao("sessao-joao", "JOAO"), maria("sessao-maria", "MARIA");
    joao.Open(store, nr);
    maria.Open(store, nr);
    Set(maria.Lines, 0, "DSHISTLANC", "Corrigido pela Maria");
    maria.Confirm(store, nr);
    const std::string saved = DumpEntries(db.Url());

    Set(joao.Lines, 1, "DSHISTLANC", "Corrigido pelo João");
    const std::string refusal = Refusal([&] { joao.Confirm(store, nr); });
    EXPECT_TRUE(Has(refusal, "conflito: O lançamento contábil " + nr + " foi alterado por MARIA em ")) << refusal;
    EXPECT_TRUE(Has(refusal, "reabra o lançamento")) << refusal;
    EXPECT_EQ(DumpEntries(db.Url()), saved);

    // Reopened, his change goes in over hers; now she holds the old version.
    joao.Open(store, nr);
    EXPECT_EQ(Cell(joao.Lines, 0, "DSHISTLANC"), "Corrigido pela Maria");
    Set(joao.Lines, 1, "DSHISTLANC", "Corrigido pelo João");
    EXPECT_EQ(Refusal([&] { joao.Confirm(store, nr); }), "");
    EXPECT_TRUE(Has(Refusal([&] { maria.Confirm(store, nr); }), "alterado por JOAO")) << "stale after his save";
}

TEST(Conflict, TheSameBookkeeperConfirmingAgainIsNotAConflict) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    const std::string nr = Nr(1, 5);
    TBookkeeper joao("sessao-joao", "JOAO"), outroDesktop("sessao-nova", "joao ");
    joao.Open(store, nr);
    joao.Confirm(store, nr);
    // Twice in a row with what the screen keeps after its own save, and again
    // over a new connection after an answer that never arrived.
    Set(joao.Lines, 0, "DSHISTLANC", "Segunda confirmação");
    EXPECT_EQ(Refusal([&] { joao.Confirm(store, nr); }), "");
    outroDesktop.Lines = joao.Lines;
    outroDesktop.Rateio = joao.Rateio;
    EXPECT_EQ(Refusal([&] { outroDesktop.Confirm(store, nr); }), "");

    // Without operator names, the client session tells one bookkeeper from another.
    TBookkeeper anonimo("sessao-anonima", ""), outroAnonimo("sessao-outra", "");
    anonimo.Open(store, nr);
    outroAnonimo.Open(store, nr);
    anonimo.Confirm(store, nr);
    EXPECT_EQ(Refusal([&] { anonimo.Confirm(store, nr); }), "");
    EXPECT_TRUE(Has(Refusal([&] { outroAnonimo.Confirm(store, nr); }), "alterado por outro usuário em "));

    // A new entry carries no stamp at all: its author saves it again freely,
    // anyone else holding it unsaved is refused.
    std::string anoMes = "202401";
    const std::string novo = store.PrxLancContabil("01", anoMes);
    TBookkeeper autor("sessao-autor", "ANA"), outro("sessao-outro", "BETO");
    autor.Lines = joao.Lines;
    autor.Rateio = joao.Rateio;
    for (std::size_t i = 0; i < autor.Lines.RecordCount(); ++i) {
        Set(autor.Lines, i, "NRLANCCONT", novo);
        Set(autor.Lines, i, "DTULTATULAN", Variant());
        Set(autor.Lines, i, "CDOPERINS", Variant());
    }
    for (std::size_t i = 0; i < autor.Rateio.RecordCount(); ++i) Set(autor.Rateio, i, "NRLANCCONT", novo);
    outro.Lines = autor.Lines;
    outro.Rateio = autor.Rateio;
    EXPECT_EQ(Refusal([&] { autor.Confirm(store, novo); }), "");
    EXPECT_EQ(Refusal([&] { autor.Confirm(store, novo); }), "");
    EXPECT_TRUE(Has(Refusal([&] { outro.Confirm(store, novo); }), "conflito: ")) << "a copy never loaded";
}

TEST(Conflict, ConfirmOfAnEntryAnotherDeletedIsRefusedAndDoesNotBringItBack) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    const std::string nr = Nr(1, 5);
    TBookkeeper joao("sessao-joao", "JOAO"), maria("sessao-maria", "MARIA");
    joao.Open(store, nr);
    maria.Open(store, nr);
    maria.Delete(store, nr);
    const std::string afterDelete = DumpEntries(db.Url());

    const std::string refusal = Refusal([&] { joao.Confirm(store, nr); });
    EXPECT_TRUE(Has(refusal, "conflito: O lançamento contábil " + nr + " foi excluído por MARIA em ")) << refusal;
    EXPECT_EQ(DumpEntries(db.Url()), afterDelete);
    EXPECT_TRUE(Has(Refusal([&] { joao.Delete(store, nr); }), "já foi excluído por MARIA em "));
}

TEST(Conflict, DeleteOfAnEntryChangedSinceItWasOpenedIsRefused) {
    TDemoCopy db;
    TEntryStore store(db.Url());
    const std::string nr = Nr(1, 5);
    TBookkeeper joao("sessao-joao", "JOAO"), maria("sessao-maria", "MARIA");
    joao.Open(store, nr);
    maria.Open(store, nr);
    Set(maria.Lines, 0, "DSHISTLANC", "Corrigido pela Maria");
    maria.Confirm(store, nr);
    const std::string saved = DumpEntries(db.Url());

    const std::string refusal = Refusal([&] { joao.Delete(store, nr); });
    EXPECT_TRUE(Has(refusal, "conflito: O lançamento contábil " + nr + " foi alterado por MARIA em ")) << refusal;
    EXPECT_TRUE(Has(refusal, "Nada foi excluído")) << refusal;
    EXPECT_EQ(DumpEntries(db.Url()), saved);

    // Her own delete after her own save, and his after reopening, go through.
    maria.Delete(store, nr);
    EXPECT_EQ(Scalar(db.Url(), "SELECT COUNT(*) FROM LANCCONT WHERE CDEMPRESA = '01' AND NRLANCCONT = '" + nr + "'"),
              0);
    const std::string other = Nr(1, 6);
    joao.Open(store, other);
    maria.Open(store, other);
    maria.Confirm(store, other);
    joao.Open(store, other);
    EXPECT_EQ(Refusal([&] { joao.Delete(store, other); }), "");
}

}  // namespace
