// The wire's cost for the packets the screens move: encoding and decoding an
// entry-lines packet of N rows (25 fields, like cdsLancCont), and a whole call
// over loopback that sends it and gets it back.
#include "platform/net/codec.h"
#include "platform/net/rpc_client.h"

#include <benchmark/benchmark.h>

#if __has_include("server/rpc_server.h")
#include "server/rpc_server.h"
#endif

namespace {

TDataPacket LinesPacket(int rows) {
    std::vector<TPacketField> fields;
    for (int i = 0; i < 15; ++i) fields.push_back({"TEXTO" + std::to_string(i), TFieldType::ftString, 20});
    for (int i = 0; i < 5; ++i) fields.push_back({"VALOR" + std::to_string(i), TFieldType::ftFloat, 0});
    for (int i = 0; i < 5; ++i) fields.push_back({"DATA" + std::to_string(i), TFieldType::ftDateTime, 0});
    TDataPacket p(fields);
    for (int r = 0; r < rows; ++r) {
        TPacketRow row;
        for (int i = 0; i < 15; ++i) {
            if (i % 4 == 3) row.emplace_back();  // a null in every fourth text column
            else row.emplace_back("0000" + std::to_string(r + i));
        }
        for (int i = 0; i < 5; ++i) row.emplace_back(Variant((r % 1000) * 1.25 - i));
        for (int i = 0; i < 5; ++i) row.emplace_back(Variant(45292.0 + r % 365));
        p.AppendRow(std::move(row));
    }
    return p;
}

void BM_EncodePacket(benchmark::State& state) {
    const TRpcValue v(LinesPacket(static_cast<int>(state.range(0))));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string out = EncodeValue(v);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
    state.SetItemsProcessed(state.range(0) * state.iterations());
}
BENCHMARK(BM_EncodePacket)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_DecodePacket(benchmark::State& state) {
    const std::string bytes = EncodeValue(TRpcValue(LinesPacket(static_cast<int>(state.range(0)))));
    for (auto _ : state) {
        TRpcValue v = DecodeValue(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(v);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes.size() * state.iterations()));
    state.SetItemsProcessed(state.range(0) * state.iterations());
}
BENCHMARK(BM_DecodePacket)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

#if __has_include("server/rpc_server.h")
void BM_LoopbackEcho(benchmark::State& state) {
    TRpcServer server;
    server.Register("Eco", {}, [](std::vector<TRpcValue>& args) { return args.at(0); });
    const int port = server.Start();
    TRpcClient client;
    client.Connect("127.0.0.1", port);
    const TRpcValue packet(LinesPacket(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        TRpcValue back = client.Call("Eco", {TRpcArg(packet)});
        benchmark::DoNotOptimize(back);
    }
    state.SetItemsProcessed(state.range(0) * state.iterations());
}
BENCHMARK(BM_LoopbackEcho)->Arg(1)->Arg(10000)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
