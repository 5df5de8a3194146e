// CheckResultServ: a server answer is a value or an error object; an error
// reaches the bookkeeper once, in an error box, and stops the handler.
#include "contracts/consiste.h"
#include "contracts/netconnection.h"
#include "helpers.h"
#include "platform/ui/dispatch.h"

namespace {

class CheckResultServTest : public UiTest {};

TEST_F(CheckResultServTest, ValuePassesThroughWithoutAnyBox) {
    TRpcValue r = Consiste::CheckResultServ(TRpcValue("000000000042"), true, 0);
    EXPECT_EQ(r.Scalar().AsString(), "000000000042");
    EXPECT_EQ(shown(), "");
}

TEST_F(CheckResultServTest, ErrorShowsTheServersTextAndAborts) {
    const TRpcValue err = MakeServerError("lote", "Lançamento pertence a um lote.");
    EXPECT_THROW(Consiste::CheckResultServ(err, true, 0), EAbort);
    EXPECT_EQ(shown(), "erro:Lançamento pertence a um lote.");
}

TEST_F(CheckResultServTest, WithoutAbortTheErrorIsShownAndHandedBack) {
    const TRpcValue err = MakeServerError("x", "Falhou.");
    TRpcValue r;
    EXPECT_NO_THROW(r = Consiste::CheckResultServ(err, false, 0));
    EXPECT_TRUE(IsServerError(r));
    EXPECT_EQ(shown(), "erro:Falhou.");
}

TEST_F(CheckResultServTest, DispatcherShowsTheErrorOnlyOnce) {
    bool after = false;
    const bool ok = Dispatch([&] {
        Consiste::CheckResultServ(MakeServerError("m", "Método desconhecido: X"), true, 0);
        after = true;
    });
    EXPECT_FALSE(ok);
    EXPECT_FALSE(after);
    EXPECT_EQ(shown(), "erro:Método desconhecido: X");
}

TEST_F(CheckResultServTest, MensErroWithoutAbortGoesOn) {
    Consiste::MensErro("Aviso.", false);
    EXPECT_THROW(Consiste::MensErro("Pare.", true), EAbort);
    EXPECT_EQ(shown(), "erro:Aviso. / erro:Pare.");
}

}  // namespace
