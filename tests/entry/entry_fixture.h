// Set-up of the entry screen tests: a small suite database (tests/db) as the
// shared connection, an application server played by the test (a transport
// that answers from a handler), clean headless services, and the screen
// built and created as the host does it.
#pragma once

#include "contracts/netconnection.h"
#include "contracts/zembra.h"
#include "entry/frmlancamentos.h"
#include "platform/db/dbgeral.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"
#include "tests/db/testdb.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using TServerHandler = std::function<TRpcValue(const std::string& method, std::vector<TRpcValue>& args)>;

class TScriptedServer : public TAppServerTransport {
public:
    explicit TScriptedServer(std::shared_ptr<TServerHandler> handler) : handler_(std::move(handler)) {}
    void Connect(const std::string&, int) override { connected_ = true; }
    void Disconnect() override { connected_ = false; }
    bool Connected() const override { return connected_; }
    TRpcValue Call(const std::string& method, std::vector<TRpcValue>& args, const std::vector<int>&) override {
        if (!*handler_) throw ERpcError("metodo", "Método desconhecido: " + method);
        return (*handler_)(method, args);
    }

private:
    std::shared_ptr<TServerHandler> handler_;
    bool connected_ = false;
};

class EntryScreenTest : public ::testing::Test {
protected:
    TTempDatabase db;
    std::shared_ptr<TServerHandler> server = std::make_shared<TServerHandler>();
    std::vector<std::string> calls;  // methods the screen called, in order

    void SetUp() override {
        SetServices(nullptr);
        HeadlessServices().Clear();
        Application->Reset();
        Zembra::SetWebURL("127.0.0.1");
        Zembra::SetWebPort(21100);
        Zembra::SetEmprProc("01");
        auto handler = server;
        TNetConnection::SetTransportFactory([handler] { return std::make_unique<TScriptedServer>(handler); });
        db.Writer() << "INSERT INTO EMPRESA VALUES ('04', 'Sem Parametros Ltda')";
        db.Writer() << "INSERT INTO CONTOPECTBL VALUES ('02', '2024-01-01', '2024-12-31', NULL, "
                       "NULL, '2023-01-01', '2024-12-31', 'N', 'N', 'N', 'N', 'S')";
        db.Writer() << "INSERT INTO CONTOPECTBL VALUES ('03', '2024-01-01', '2024-12-31', NULL, "
                       "NULL, '2024-01-01', '2024-12-31', 'N', 'N', 'N', 'N', 'N')";
        dtmDBGeral().Open(db.URL());
    }
    void TearDown() override {
        Application->Reset();
        dtmDBGeral().Close();
        TNetConnection::SetTransportFactory(nullptr);
        Zembra::LoadFromEnvironment();
        HeadlessServices().Clear();
    }

    // The server answers every method through `answer`, and the test sees
    // which were called.
    void Serve(std::function<TRpcValue(const std::string&, std::vector<TRpcValue>&)> answer) {
        *server = [this, answer](const std::string& m, std::vector<TRpcValue>& a) {
            calls.push_back(m);
            return answer(m, a);
        };
    }

    TfrmLancamentos* CreateScreen() {
        Application->CreateForm(frmLancamentos);
        bostcriado = true;
        return frmLancamentos;
    }

    // Message and error boxes shown so far, "kind:text" joined by " / ".
    static std::string Shown() {
        std::string out;
        for (const TShownItem& s : HeadlessServices().Shown()) {
            if (s.kind != TShownItem::Message && s.kind != TShownItem::Error) continue;
            if (!out.empty()) out += " / ";
            out += (s.kind == TShownItem::Error ? "erro:" : "msg:") + s.text;
        }
        return out;
    }
};

// A lines packet with the fields the server sends (CDFILLANC and IDSISTEMA
// included); each row: company, entry, sequence, account, value, origin, system.
struct TLineRow {
    std::string emp, nr, seq, conta;
    double valor;
    std::string inte, sistema;
};

inline TDataPacket LinesPacket(const std::vector<TLineRow>& rows) {
    using enum TFieldType;
    TDataPacket p({{"CDFILLANC", ftString, 4},
                   {"CDEMPRESA", ftString, 2},
                   {"NRLANCCONT", ftString, 12},
                   {"NRSEQLANC", ftString, 5},
                   {"CDCONTCTBL", ftString, 20},
                   {"DTLANCCONT", ftDateTime, 0},
                   {"CDDOCUCONT", ftString, 20},
                   {"VRLANCAMENT", ftFloat, 0},
                   {"IDLANCINTE", ftString, 1},
                   {"IDSISTEMA", ftString, 3}});
    for (const TLineRow& r : rows)
        p.AppendRow({Variant("0001"), Variant(r.emp), Variant(r.nr), Variant(r.seq), Variant(r.conta), Variant(45300.0),
                     Variant("DOC1"), Variant(r.valor), Variant(r.inte), Variant(r.sistema)});
    return p;
}
