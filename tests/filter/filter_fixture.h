// Set-up of the filter dialog tests: a small suite database (two companies,
// one with commercial and management codes and one without, a few accounts)
// on the shared connection, an entry screen built without its creation
// handler (no server), whose connection talks to a recording transport, and
// the filter dialog created as CriaLancFiltro creates it.
#pragma once

#include "contracts/netconnection.h"
#include "contracts/zembra.h"
#include "entry/frmlancamentos.h"
#include "filter/frmlancfiltro.h"
#include "platform/db/dbgeral.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"

#include <soci/soci.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

// One call as the transport saw it.
struct TRecordedCall {
    std::string method;
    std::vector<TRpcValue> args;
    std::vector<int> byRef;
};

// Answers every call with `answer` (or throws `failure` when set) and
// writes `writeBack` into the by-reference arguments it names; it keeps no
// data version (GetVersaoLancCont is unknown to it).
struct TFakeServer {
    std::vector<TRecordedCall> calls;
    TRpcValue answer;
    std::string failure;
    std::vector<std::pair<int, TRpcValue>> writeBack;
};

class TFakeTransport : public TAppServerTransport {
public:
    explicit TFakeTransport(TFakeServer* server) : server_(server) {}
    void Connect(const std::string&, int) override { connected_ = true; }
    void Disconnect() override { connected_ = false; }
    bool Connected() const override { return connected_; }
    TRpcValue Call(const std::string& method, std::vector<TRpcValue>& args, const std::vector<int>& byRef) override {
        // A server that keeps no data version: the list is always loaded.
        if (method == "GetVersaoLancCont") throw ERpcError("metodo", "Método desconhecido: " + method);
        server_->calls.push_back({method, args, byRef});
        if (!server_->failure.empty()) throw ERpcError("argumentos", server_->failure);
        for (const auto& [i, v] : server_->writeBack) args.at(static_cast<std::size_t>(i)) = v;
        return server_->answer;
    }

private:
    TFakeServer* server_;
    bool connected_ = false;
};

// A packet of two lines in cdsLancCont's layout (only the fields it needs).
inline TDataPacket LinesPacket(const std::vector<std::string>& numbers) {
    TDataPacket p({{"CDEMPRESA", TFieldType::ftString, 2},
                   {"NRLANCCONT", TFieldType::ftString, 12},
                   {"VRLANCAMENT", TFieldType::ftFloat, 0}});
    for (const std::string& n : numbers) p.AppendRow({Variant("01"), Variant(n), Variant(10.0)});
    return p;
}

class FilterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        path_ = std::filesystem::temp_directory_path() / ("ctb_filter_test_" + std::to_string(::getpid()) + ".db");
        std::filesystem::remove(path_);
        TDBConnection writer;
        writer.Open("sqlite3://" + path_.string(), {.ReadOnly = false, .MustExist = false});
        soci::session& s = writer.Session();
        s << "CREATE TABLE CONTOPECTBL (CDEMPRESA VARCHAR(2) PRIMARY KEY, DTINICLANC DATE, "
             "DTFINALANC DATE, IDCONTGERE VARCHAR(1), IDCONTCOME VARCHAR(1))";
        s << "INSERT INTO CONTOPECTBL VALUES ('01', NULL, NULL, 'S', 'S')";
        s << "INSERT INTO CONTOPECTBL VALUES ('02', NULL, NULL, 'N', 'N')";
        s << "CREATE TABLE CONTCTBL (CDCONTCTBL VARCHAR(20), NMCONTCTBL VARCHAR(40), "
             "CDNVCONTCTBL VARCHAR(1))";
        for (const char* row : {"('1', 'ATIVO', '1')", "('11', 'CIRCULANTE', '2')", "('1110100001', 'CAIXA', '5')",
                                "('2', 'PASSIVO', '1')"})
            s << std::string("INSERT INTO CONTCTBL VALUES ") + row;
        writer.Close();
    }
    static void TearDownTestSuite() {
        dtmDBGeral().Close();
        std::error_code ec;
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            std::filesystem::remove(path_.string() + suffix, ec);
    }

    void SetUp() override {
        SetServices(nullptr);
        HeadlessServices().Clear();
        SetToday(45457);  // 14/06/2024
        Zembra::SetDBPict(Zembra::ptContCtbl, Zembra::kDefaultAccountPicture);
        dtmDBGeral().Close();
        dtmDBGeral().Open("sqlite3://" + path_.string());
        Zembra::SetWebURL("127.0.0.1");
        Zembra::SetWebPort(1);  // the fake transport never dials
        TNetConnection::SetTransportFactory([this] { return std::make_unique<TFakeTransport>(&server); });
        screen = new TfrmLancamentos(nullptr);
        frmLancamentos = screen;
        screen->NetLancamentos->SetConnected(true);
        screen->edtCdEmpresa->SetText("01");
        screen->cdsLancCont->Data(LinesPacket({"000000000007"}));
        Application->CreateForm(frmLancFiltro);
        screen->boFiltroCriado = true;
        dlg = frmLancFiltro;
    }

    void TearDown() override {
        Application->Reset();
        delete screen;
        frmLancamentos = nullptr;
        frmLancFiltro = nullptr;
        Zembra::SetWebURL("127.0.0.1");
        Zembra::SetWebPort(1);  // the fake transport never dials
        TNetConnection::SetTransportFactory(nullptr);
        SetToday(0);
        HeadlessServices().Clear();
    }

    // Shows the dialog as a showing does (FormActivate included).
    void show() {
        dlg->Show();
        dlg->FormActivate(dlg);
    }

    // Runs a click the way a front end does (EAbort swallowed, errors shown).
    bool confirm() {
        return Dispatch([&] { dlg->sbtConfirma->Click(); });
    }
    bool cancel() {
        return Dispatch([&] { dlg->sbtCancel->Click(); });
    }

    // The texts of the error and message boxes shown, joined by " / ".
    static std::string boxes() {
        std::string out;
        for (const TShownItem& s : HeadlessServices().Shown()) {
            if (s.kind != TShownItem::Error && s.kind != TShownItem::Message) continue;
            if (!out.empty()) out += " / ";
            out += s.text;
        }
        return out;
    }

    static std::string focusedName(TForm* f) {
        return f->ActiveControl() ? f->ActiveControl()->Name : std::string("(none)");
    }

    TFakeServer server;
    TfrmLancamentos* screen = nullptr;
    TfrmLancFiltro* dlg = nullptr;

private:
    static inline std::filesystem::path path_;
};
