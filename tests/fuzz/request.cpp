// Fuzz target of a whole request as the application server takes it: any
// bytes as one connection's input, split into frames with the server's own
// limits, every request run by the entry store's methods over a scratch demo
// database (kept across inputs, so what one input saves the next may read),
// every answer encoded. Acceptable: an answer for each frame, which reads back
// and holds only UTF-8 text (what a strict client needs). Anything else (a
// crash, a sanitizer report, an unreadable answer) is a finding.
#include "platform/net/utf8.h"
#include "server/rpc_server.h"
#include "server/store.h"
#include "server/store_demo.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class TScratchServer {
public:
    TScratchServer() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "ctbfuzzXXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (!mkdtemp(buf.data())) std::abort();
        dir_ = buf.data();
        const std::string db = (dir_ / "fuzz.db").string();
        TDemoOptions demo;
        demo.Year = 2024;
        demo.Lines = 200;
        GenerateDemo(db, demo);
        RegisterStoreMethods(server, db);
    }
    ~TScratchServer() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    TRpcServer server;  // never started: AnswerNext is what each connection runs

private:
    std::filesystem::path dir_;
};

bool Utf8Only(const TRpcValue& v) {
    if (v.IsArray()) {
        for (const auto& item : v.Items())
            if (!Utf8Only(item)) return false;
        return true;
    }
    if (v.IsScalar()) {
        const std::string* s = v.Scalar().string_if();
        return !s || IsValidUtf8(*s);
    }
    const TDataPacket& p = v.Packet();
    for (const auto& f : p.Fields())
        if (!IsValidUtf8(f.Name)) return false;
    for (std::size_t r = 0; r < p.RecordCount(); ++r)
        for (std::size_t c = 0; c < p.Fields().size(); ++c) {
            const Variant v = p.Value(r, c);
            const std::string* s = v.string_if();
            if (s && !IsValidUtf8(*s)) return false;
        }
    return true;
}

void CheckAnswer(const std::string& answer) {
    TRpcFrameReader reader;
    reader.Feed(answer.data(), answer.size());
    TRpcResponse r;
    if (!reader.NextResponse(r) || reader.Pending() != 0) __builtin_trap();
    if (!IsValidUtf8(r.ErrorCode) || !IsValidUtf8(r.ErrorMessage) || !Utf8Only(r.Value)) __builtin_trap();
    for (const auto& [index, value] : r.Out)
        if (!Utf8Only(value)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TScratchServer scratch;
    TRpcFrameReader reader(TRpcServerOptions{}.Limits);
    reader.Feed(reinterpret_cast<const char*>(data), size);
    std::string answer;
    bool close = false;
    while (!close && scratch.server.AnswerNext(reader, answer, close)) CheckAnswer(answer);
    return 0;
}
