// The scenario driver's interpreter against a small form built here: every
// command of the language carried out (or refused as impossible), modal forms
// run by the script's next commands, message boxes and lookups answered from
// the script, failures counted with their lines.
#include "host/drive/interpreter.h"

#include "contracts/published.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/edits.h"
#include "platform/ui/forms.h"
#include "platform/ui/grid.h"
#include "platform/ui/services.h"

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

using namespace drive;

namespace {

template <class T> T* Put(TComponent* owner, TWinControl* parent, const char* name) {
    T* c = new T(owner);
    c->Name = name;
    if constexpr (std::is_base_of_v<TControl, T>) {
        if (parent) c->SetParent(parent);
    }
    return c;
}

// A modal dialog with one edit; OK keeps its text for the caller.
class TfrmAsk : public TForm {
public:
    explicit TfrmAsk(TComponent* owner) : TForm(owner) {
        Name = "frmAsk";
        Caption = "Pergunta";
        edtAnswer = Put<TEdit>(this, this, "edtAnswer");
        edtAnswer->TabStop = true;
        btnOk = Put<TButton>(this, this, "btnOk");
        btnOk->ModalResult = mrOk;
        btnCancel = Put<TButton>(this, this, "btnCancel");
        btnCancel->Cancel = true;
        btnCancel->ModalResult = mrCancel;
    }
    TEdit* edtAnswer;
    TButton* btnOk;
    TButton* btnCancel;
};

class TfrmTest : public TForm, public TPublishedMembers {
public:
    explicit TfrmTest(TComponent* owner) : TForm(owner), TPublishedMembers("TfrmTest") {
        Name = "frmTest";
        PublishBool("boPronto", &boPronto);
        Publish("Saved.dtIni", [] { return std::string("01/06/2024"); });
        Caption = "Teste";
        edtCodigo = Put<TEdit>(this, this, "edtCodigo");
        edtCodigo->TabStop = true;
        edtCodigo->MaxLength = 4;
        edtCodigo->OnExit = [this](TObject*) {
            if (edtCodigo->Text() == "9999") {
                ShowError("Código inválido.");
                Abort();
            }
        };
        edtCodigo->OnChange = [this](TObject*) { ++changes; };
        nedValor = Put<TNumberEdit>(this, this, "nedValor");
        nedValor->TabStop = true;
        depData = Put<TDateEditPlus>(this, this, "depData");
        depData->TabStop = true;
        chkAtivo = Put<TCheckBox>(this, this, "chkAtivo");
        btnOff = Put<TButton>(this, this, "btnOff");
        btnOff->Enabled = false;
        btnAsk = Put<TButton>(this, this, "btnAsk");
        btnAsk->OnClick = [this](TObject*) {
            int r = MessageDlg("Continuar?", mtConfirmation, TMsgDlgButtons(mbYes) << mbNo, 0);
            lblResult->Caption = r == mrYes ? "sim" : "não";
        };
        btnDialog = Put<TButton>(this, this, "btnDialog");
        btnDialog->OnClick = [this](TObject*) {
            TfrmAsk* ask = nullptr;
            Application->CreateForm(ask);
            TModalResult r = ask->ShowModal();
            lblResult->Caption = (r == mrOk ? "ok:" : "cancel:") + ask->edtAnswer->Text();
            ask->Release();
        };
        btnLookup = Put<TButton>(this, this, "btnLookup");
        btnLookup->OnClick = [this](TObject*) {
            if (Services().Pesquisar(dtsItens, "Itens"))
                edtCodigo->SetText(cdsItens->FieldByName("CODIGO")->AsString());
        };
        lblResult = Put<TLabel>(this, this, "lblResult");
        pgcPages = Put<TPageControl>(this, this, "pgcPages");
        tshOne = Put<TTabSheet>(this, nullptr, "tshOne");
        tshOne->SetPageControl(pgcPages);
        tshTwo = Put<TTabSheet>(this, nullptr, "tshTwo");
        tshTwo->SetPageControl(pgcPages);

        cdsItens = Put<TClientDataSet>(this, nullptr, "cdsItens");
        cdsItens->AddField("CODIGO", TFieldType::ftString, 4);
        cdsItens->AddField("VALOR", TFieldType::ftFloat);
        cdsItens->CreateDataSet();
        for (auto [code, value] : {std::pair{"0001", 10.0}, {"0002", 20.5}, {"0003", -3.0}}) {
            cdsItens->Append();
            cdsItens->FieldByName("CODIGO")->SetAsString(code);
            cdsItens->FieldByName("VALOR")->SetAsFloat(value);
            cdsItens->Post();
        }
        cdsItens->First();
        dtsItens = Put<TDataSource>(this, nullptr, "dtsItens");
        dtsItens->SetDataSet(cdsItens);
        dbgItens = Put<TDBGrid>(this, tshOne, "dbgItens");
        dbgItens->SetDataSource(dtsItens);
        dbgItens->Columns->Add()->FieldName = "CODIGO";
        TColumn* valor = dbgItens->Columns->Add();
        valor->FieldName = "VALOR";
        valor->ButtonStyle = cbsEllipsis;
        dbgItens->OnEditButtonClick = [this](TObject*) { lblResult->Caption = "ellipsis"; };
        dbgItens->OnDblClick = [this](TObject*) { lblResult->Caption = "dblclick"; };
    }
    TEdit* edtCodigo;
    TNumberEdit* nedValor;
    TDateEditPlus* depData;
    TCheckBox* chkAtivo;
    TButton *btnOff, *btnAsk, *btnDialog, *btnLookup;
    TLabel* lblResult;
    TPageControl* pgcPages;
    TTabSheet *tshOne, *tshTwo;
    TClientDataSet* cdsItens;
    TDataSource* dtsItens;
    TDBGrid* dbgItens;
    int changes = 0;
    bool boPronto = true;
};

class DriveInterpreter : public ::testing::Test {
protected:
    TfrmTest* form = nullptr;
    std::unique_ptr<Interpreter> interp;
    std::string output;

    void SetUp() override {
        Application->Reset();
        HeadlessServices().Clear();
        interp = std::make_unique<Interpreter>([this] {
            Application->CreateForm(form);
            form->Show();
        });
    }
    void TearDown() override {
        interp.reset();
        Application->Reset();
    }
    // Runs the text as a script; the printed output is kept in `output`.
    void Run(const std::string& text) {
        Script s = ParseScript(text, "t.ctb");
        testing::internal::CaptureStdout();
        interp->Run(s);
        output = testing::internal::GetCapturedStdout();
    }
};

TEST_F(DriveInterpreter, EditsAreTypedSetAndReadBack) {
    Run("open\n"
        "type edtCodigo \"12345\"\n"  // MaxLength 4 keeps four
        "expect edtCodigo.Text \"1234\"\n"
        "expect focus edtCodigo\n"
        "expect edtCodigo.Focused true\n"
        "set nedValor \"1234,5\"\n"
        "expect nedValor.Number \"1234.50\"\n"
        "type depData \"05012024\"\n"
        "expect depData.Date \"2024-01-05\"\n"
        "focus chkAtivo\n"
        "click chkAtivo\n"
        "expect chkAtivo.Checked true\n"
        "type edtCodigo \"12\"\n"
        "key edtCodigo X\n"
        "expect frmTest.edtCodigo.Text \"12X\"\n"
        "click tshTwo\n"
        "expect pgcPages.ActivePage \"tshTwo\"\n"
        "expect frmTest.Caption \"Teste\"\n"
        "expect Application.FormCount 1\n"
        "expect frmTest.boPronto true\n"
        "expect frmTest.Saved.dtIni \"2024-06-01\"\n");
    EXPECT_EQ(interp->Failed(), 0) << output;
    EXPECT_EQ(interp->Passed(), 21);
    EXPECT_EQ(form->changes, 7) << "typing runs the change event for each accepted key";
}

TEST_F(DriveInterpreter, ImpossibleCommandsAndWrongExpectationsFailWithTheirLines) {
    Run("open\n"
        "click btnNada\n"                  // 2: unknown name
        "click btnOff\n"                   // 3: disabled
        "grid dbgItens col NADA\n"         // 4: missing column
        "grid dbgItens row 9\n"            // 5: row out of range
        "expect edtCodigo.Text \"abc\"\n"  // 6: wrong value
        "expect edtCodigo.Cor \"1\"\n"     // 7: unknown property
        "expect cdsItens.NADA \"1\"\n"     // 8: unknown field
        "expect message \"x\"\n"           // 9: no message shown
        "frobnicate\n"                     // 10: unreadable line
        "expect focus btnOff\n"            // 11: focus is elsewhere
        "grid dbgItens col CODIGO\n"       // 12: the column has no ellipsis
        "grid dbgItens button\n"
        "expect edtCodigo.Text \"\"\n");
    EXPECT_EQ(interp->Failed(), 11) << output;
    EXPECT_EQ(interp->Passed(), 3);
    for (int line : {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13})
        EXPECT_NE(output.find("t.ctb:" + std::to_string(line) + ": FALHOU"), std::string::npos) << line << output;
}

TEST_F(DriveInterpreter, ExitHandlerRefusalIsTheScreensNotAFailure) {
    Run("open\n"
        "type edtCodigo \"9999\"\n"
        "focus nedValor\n"  // refused by OnExit: focus stays
        "expect focus edtCodigo\n"
        "expect message \"Código inválido.\"\n"
        "expect no message\n");
    EXPECT_EQ(interp->Failed(), 0) << output;
    EXPECT_NE(output.find("t.ctb:3: erro: \"Código inválido.\""), std::string::npos) << output;
}

TEST_F(DriveInterpreter, ARefusedCellIsTypedOverAndAFocusKeptByABoxFailsTheCommand) {
    Run("open\n"
        "grid dbgItens row 1\n"
        "grid dbgItens cell VALOR \"abc\"\n"
        "grid dbgItens col CODIGO\n"  // 4: not a number: the column stays
        "expect dbgItens.SelectedField \"VALOR\"\n"
        "grid dbgItens cell VALOR \"12,5\"\n"  // replaces "abc", not "abc12,5"
        "grid dbgItens col CODIGO\n"
        "expect cdsItens.VALOR \"12.5\"\n"
        "type edtCodigo \"9999\"\n"
        "type nedValor \"1\"\n"  // 10: the box keeps the focus: not typed
        "click chkAtivo\n"       // 11: the same
        "expect nedValor.Text \"\"\n"
        "expect chkAtivo.Checked false\n");
    EXPECT_EQ(interp->Failed(), 2) << output;
    EXPECT_NE(output.find("t.ctb:10: FALHOU: type nedValor \"1\" -- não executado: o foco ficou em edtCodigo"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("t.ctb:11: FALHOU"), std::string::npos) << output;
    // Every box is one line.
    std::size_t boxes = 0;
    for (std::size_t at = output.find("erro: "); at != std::string::npos; at = output.find("erro: ", at + 1)) ++boxes;
    EXPECT_EQ(boxes, 3u) << "lines 4, 10 and 11, once each\n" << output;
}

TEST_F(DriveInterpreter, MessageBoxesTakeQueuedAnswersOrTheDefault) {
    Run("open\n"
        "answer yes\n"
        "click btnAsk\n"
        "expect lblResult.Caption \"sim\"\n"
        "expect message \"Continuar?\"\n"
        "click btnAsk\n"  // no answer queued: No, and a note
        "expect lblResult.Caption \"não\"\n"
        "expect no message\n");
    EXPECT_EQ(interp->Failed(), 1) << "the unchecked box fails 'expect no message'\n" << output;
    EXPECT_NE(output.find("t.ctb:6: sem resposta"), std::string::npos) << output;
}

TEST_F(DriveInterpreter, ModalFormRunsTheNextCommandsUntilItCloses) {
    Run("open\n"
        "click btnDialog\n"
        "expect Application.ModalForm \"frmAsk\"\n"
        "type edtAnswer \"abc\"\n"
        "click btnOk\n"
        "expect Application.ModalForm \"\"\n"
        "expect lblResult.Caption \"ok:abc\"\n"
        "click btnDialog\n"
        "type frmAsk.edtAnswer \"left open\"\n");
    EXPECT_EQ(interp->Failed(), 0) << output;
    // The script ended with the dialog open: it was closed as by its cancel button.
    EXPECT_EQ(Application->TopModal(), nullptr);
    EXPECT_EQ(form->lblResult->Caption, "cancel:left open");
}

TEST_F(DriveInterpreter, GridCommandsAndDataSetProperties) {
    Run("open\n"
        "expect dbgItens.Columns \"CODIGO,VALOR\"\n"
        "expect dbgItens.RowCount 3\n"
        "grid dbgItens row 2\n"
        "expect cdsItens.CODIGO \"0002\"\n"
        "expect cdsItens.VALOR \"20,5\"\n"
        "grid dbgItens col VALOR\n"
        "expect dbgItens.SelectedField \"VALOR\"\n"
        "grid dbgItens button\n"
        "expect lblResult.Caption \"ellipsis\"\n"
        "dblclick dbgItens\n"
        "expect lblResult.Caption \"dblclick\"\n"
        "grid dbgItens cell VALOR \"7,25\"\n"
        "expect cdsItens.State \"dsEdit\"\n"
        "key dbgItens Up\n"
        "expect cdsItens.State \"dsBrowse\"\n"
        "grid dbgItens row 2\n"
        "expect cdsItens.VALOR \"7.25\"\n"
        "expect dtsItens.RecordCount 3\n"
        "expect cdsItens.Filtered false\n"
        "dump dbgItens\n"
        "dump cdsItens\n");
    EXPECT_EQ(interp->Failed(), 0) << output;
    EXPECT_NE(output.find("dump dbgItens"), std::string::npos);
    EXPECT_NE(output.find("0003 | -3"), std::string::npos) << output;
}

TEST_F(DriveInterpreter, LookupsTakeQueuedPicks) {
    Run("open\n"
        "pick CODIGO=0003\n"
        "click btnLookup\n"
        "expect edtCodigo.Text \"0003\"\n"
        "pick cancel\n"
        "click btnLookup\n"
        "expect edtCodigo.Text \"0003\"\n"
        "click btnLookup\n");  // nothing queued: cancelled, noted
    EXPECT_EQ(interp->Failed(), 0) << output;
    EXPECT_NE(output.find("t.ctb:8: sem escolha"), std::string::npos) << output;
}

TEST_F(DriveInterpreter, CloseOfAFormThatIsNotOpenIsAFailure) {
    Run("open\n"
        "click btnDialog\n"
        "close frmAsk\n"
        "expect lblResult.Caption \"cancel:\"\n"
        "close frmAsk\n");  // released: no longer open
    EXPECT_EQ(interp->Failed(), 1) << output;
    EXPECT_NE(output.find("t.ctb:5: FALHOU"), std::string::npos) << output;
}

}  // namespace
