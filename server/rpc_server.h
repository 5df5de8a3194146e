// TRpcServer: the application server's MessagePack-RPC endpoint (see
// docs/protocol.md). Methods are registered by name and matched without
// regard to case; each handler receives the positional arguments and returns
// the method's value. Arguments named as by-reference go back to the caller in
// the answer's `out` map with whatever value the handler left in them.
//
// Contract:
//  - a handler that throws ERpcError answers with that code and message; any
//    other std::exception answers with code "interno"; an unknown method with
//    code "metodo" ("Método desconhecido: X"). The connection stays open.
//  - wrong argument counts and types are the handler's to refuse: ExpectArgs
//    checks the count, TRpcValue's accessors check the kinds ("tipo").
//  - a frame that is not a request, a frame over the size limit, nesting over
//    the depth limit or bytes that are not MessagePack get an error answer;
//    when the byte stream can no longer be followed the connection is closed
//    after it. Every other connection goes on being served.
//  - each connection is served by its own thread, so handlers run concurrently
//    unless TRpcServerOptions::SerializeHandlers is set; a handler must open
//    its own database session (one per call). A connection whose thread
//    cannot be started is refused with an error answer; the server goes on.
//  - a new client is always let in: at MaxConnections the connection that
//    has waited longest without a request in progress is closed to make room
//    (a client only sees it as a closed idle connection). Only when every
//    connection is running a call is the newcomer refused.
//  - a connection is closed after IdleTimeout without a request, when a
//    request does not arrive whole within FrameTimeout (answer "tempo"), when
//    an answer is not taken within WriteTimeout, or when TCP keepalive finds
//    the peer gone.
//  - memory: besides the limits of one frame (TRpcLimits, decoded size
//    included), the bytes every connection holds for requests not yet
//    answered count against MaxInputMemory; the connection that would go over
//    it gets "limite" and is closed. An exception of any kind while serving a
//    connection (out of memory included) closes that connection only.
//  - every connection passes a session gate first (server/rpc_session.h):
//    with TRpcServerOptions::Token set, a client that does not open its
//    session with that token is refused and closed before any method runs.
//  - Stop() stops accepting, lets running handlers finish and deliver their
//    answers, closes every connection and waits for their threads. The
//    destructor stops the server.
#pragma once

#include "platform/net/codec.h"
#include "platform/net/packet_stream.h"
#include "platform/net/rpcvalue.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

struct TRpcServerOptions {
    TRpcLimits Limits;
    std::size_t MaxConnections = 256;  // at the cap the longest-idle connection gives way
    bool SerializeHandlers = false;    // true: one handler at a time, server-wide

    std::chrono::milliseconds IdleTimeout = std::chrono::minutes(15);   // no request in progress
    std::chrono::milliseconds FrameTimeout = std::chrono::seconds(60);  // a request arriving
    std::chrono::milliseconds WriteTimeout = std::chrono::seconds(60);  // an answer being taken
    int KeepAliveSeconds = 60;  // TCP keepalive: first probe after this much silence

    // Bytes held for unanswered requests, all connections together (buffers
    // and decoded size); the first MiB of each connection is not counted, so
    // small requests always get through.
    std::size_t MaxInputMemory = std::size_t{1} << 30;

    // Rows of a packet answer held before they go out as a piece.
    std::size_t PieceBytes = TPacketStream::kBatchBytes;

    // The shared secret every client must present in AbrirSessao before any
    // method runs (server/rpc_session.h); "" lets every client in.
    std::string Token;

    // Starts a connection's thread; empty: std::thread. Tests make it fail.
    std::function<std::thread(std::function<void()>)> StartThread;
};

class TRpcServer {
public:
    using THandler = std::function<TRpcValue(std::vector<TRpcValue>& args)>;

    explicit TRpcServer(TRpcServerOptions options = {});
    ~TRpcServer();
    TRpcServer(const TRpcServer&) = delete;
    TRpcServer& operator=(const TRpcServer&) = delete;

    // Registers (or replaces) a method. byRefIndexes are the 0-based positions
    // of the by-reference arguments. Register before Start.
    void Register(std::string name, std::vector<int> byRefIndexes, THandler handler);

    // A method whose value is a packet of `fields` that the handler writes a
    // row at a time: rows go out in pieces as each batch fills
    // (TPacketStream), so the server holds one batch whatever the answer's
    // size. A handler that throws after pieces went out answers with the
    // error; the client drops the pieces.
    using TPacketHandler = std::function<void(std::vector<TRpcValue>& args, TPacketStream& out)>;
    void RegisterPacket(std::string name, std::vector<int> byRefIndexes, std::vector<TPacketField> fields,
                        TPacketHandler handler);

    // Binds to address:port (port 0 picks a free one) and starts serving on
    // background threads. Returns the bound port. Throws ERpcError "conexao"
    // when the address cannot be bound.
    int Start(const std::string& address = "127.0.0.1", int port = 0);
    void Stop();

    int Port() const;
    std::size_t ActiveConnections() const;

    // What a connection does with the bytes it received: decodes the next
    // whole frame the reader holds, runs its method and encodes the answer.
    // False when the reader holds no whole frame. close: the byte stream can
    // no longer be followed (or memory ran out) and the connection must end
    // after the answer. Never throws for anything the bytes hold. An answer
    // sent in pieces comes as its piece frames followed by the response.
    bool AnswerNext(TRpcFrameReader& reader, std::string& answer, bool& close);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// Refuses a call whose argument count is not n: throws ERpcError "argumentos"
// ("O método X espera N argumentos e recebeu M.").
void ExpectArgs(const std::vector<TRpcValue>& args, std::size_t n, const std::string& method);
