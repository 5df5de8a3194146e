// Two bookkeepers through the real entry screen: a confirm over another's
// save since the entry was opened shows the server's refusal and keeps the
// screen's changes for the bookkeeper to redo; reopened, the entry (with the
// other's stamp to the millisecond, kept exactly by the screen's data sets)
// confirms, and confirms again after its own save. A delete is checked
// against what the screen's session last read or saved.
#include "host/drive/interpreter.h"
#include "package/pkg_ctb11000.h"
#include "platform/net/rpc_client.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"
#include "tests/package/module_env.h"

#include "contracts/zembra.h"

#include <gtest/gtest.h>

namespace {

const char* const kEntry = "202401000005";

// The other bookkeeper, on a desktop of his own: loads the entry, changes a
// history text and saves it as BETO.
void SaveAsAnotherBookkeeper(const std::string& history) {
    TRpcClient client;
    client.Connect("127.0.0.1", Zembra::WebPort());
    TDataPacket lines = client.Call("GetLancContFiltrado", {TRpcArg("01"), TRpcArg(kEntry)}).Packet();
    TDataPacket rateio = client.Call("GetLancCCusto", {TRpcArg("01"), TRpcArg(kEntry)}).Packet();
    lines.SetValue(1, static_cast<std::size_t>(lines.FieldIndex("DSHISTLANC")), Variant(history));
    TRpcValue nr(kEntry), doc("");
    client.Call("SetLancContabil",
                {TRpcArg(lines), TRpcArg(rateio), TRpcArg("01"), TRpcArg::Ref(nr), TRpcArg::Ref(doc), TRpcArg("BETO")});
}

class ConflictScreen : public ::testing::Test {
protected:
    void SetUp() override {
        std::string why;
        ASSERT_TRUE(module_env::Ready(&why)) << why;
        Application->Reset();
        HeadlessServices().Clear();
        TForm* frame = nullptr;
        Application->CreateForm(frame);
        frame->Name = "frmPrincipal";
        frame->FormStyle = fsMDIForm;
        Application->MainForm = frame;
        frame->Show();
        interp = std::make_unique<drive::Interpreter>([] { IniProc(); });
    }
    void TearDown() override { Application->Reset(); }

    // Runs script lines; the number of failures.
    int Run(const std::string& text) {
        const int before = interp->Failed();
        drive::Script s = drive::ParseScript(text, "conflito.ctb");
        interp->Run(s);
        return interp->Failed() - before;
    }

    std::unique_ptr<drive::Interpreter> interp;
};

TEST_F(ConflictScreen, ConfirmOverAnothersSaveIsRefusedUntilReopened) {
    const std::string openEntry =
        std::string("click spbFiltro\ntype medLanc \"") + kEntry + "\"\nclick sbtConfirma\nclick tshFormulario\n";
    ASSERT_EQ(Run("open\nkey edtCdEmpresa Tab\ntype depIni \"01/01/2024\"\ntype depFim \"31/01/2024\"\n"
                  "click sbtConfirma\n" +
                  openEntry),
              0);
    SaveAsAnotherBookkeeper("Alterado pelo Beto");
    EXPECT_EQ(Run("grid dbgLancCont row 1\ngrid dbgLancCont cell CDHISTPADR \"4\"\nclick sbtConfirmar\n"
                  "expect message \"O lançamento contábil 202401000005 foi alterado por BETO em *, depois que "
                  "você o abriu. Nada foi gravado: reabra o lançamento*\"\n"
                  "expect frmLancamentos.boAlterado \"true\"\n"),
              0);

    // Reopened: his change is there, and this one goes in over it, twice.
    EXPECT_EQ(
        Run("answer yes\nclick sbtCancelar\nexpect message \"Deseja cancelar o lançamento contábil?\"\n" + openEntry +
            "grid dbgLancCont row 2\nexpect cdsLancCont.DSHISTLANC \"Alterado pelo Beto\"\n"
            "grid dbgLancCont row 1\ngrid dbgLancCont cell CDHISTPADR \"4\"\nclick sbtConfirmar\n"
            "expect no message\nexpect frmLancamentos.boAlterado \"false\"\n"
            "grid dbgLancCont cell CDHISTPADR \"7\"\nclick sbtConfirmar\nexpect no message\n"),
        0);

    // Deleting it after his next save is refused the same way; reopened, it goes.
    SaveAsAnotherBookkeeper("Alterado de novo pelo Beto");
    EXPECT_EQ(Run("answer yes\nclick sbtExcluir\nexpect message \"*\"\n"
                  "expect message \"O lançamento contábil 202401000005 foi alterado por BETO em *"
                  "Nada foi excluído*\"\n"
                  "click tshFolhaDados\n" +
                  openEntry + "answer yes\nclick sbtExcluir\nexpect message \"*\"\nexpect no message\n"),
              0);
    TRpcClient client;
    client.Connect("127.0.0.1", Zembra::WebPort());
    EXPECT_EQ(client.Call("GetLancContFiltrado", {TRpcArg("01"), TRpcArg(kEntry)}).Packet().RecordCount(), 0u);
}

}  // namespace
