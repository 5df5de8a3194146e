// TRpcServer: an Asio acceptor on its own thread hands each connection to a
// thread of its own, which waits for bytes with poll() against the
// connection's deadline, answers every whole frame and writes the answer.
// Stop() shuts the read side of every connection, so a handler that is
// running still delivers its answer before its thread ends. A connection's
// socket is closed, and other threads shut it down, only under the server's
// mutex and while it is not done, so a shutdown never reaches a reused
// descriptor.
#include "server/rpc_server.h"

#include "platform/data/text.h"
#include "platform/net/utf8.h"
#include "server/rpc_session.h"

#include <asio.hpp>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <iostream>
#include <list>
#include <map>
#include <mutex>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

using Clock = std::chrono::steady_clock;

namespace {

struct TMethod {
    std::string name;
    std::vector<int> byRef;
    TRpcServer::THandler handler;
    TRpcServer::TPacketHandler packetHandler;  // instead of handler: the answer in pieces
    std::vector<TPacketField> fields;
};

// A piece of an answer could not be written: the peer is gone or stalled.
struct EPieceNotSent {};

// Messages may echo what a client sent; the answer stays valid UTF-8.
TRpcResponse ErrorAnswer(std::optional<std::uint32_t> msgid, std::string code, const std::string& message) {
    TRpcResponse r;
    r.MsgId = msgid;
    r.Ok = false;
    r.ErrorCode = std::move(code);
    r.ErrorMessage = IsValidUtf8(message) ? message : Utf8Printable(message, message.size());
    return r;
}

void Log(const std::string& text) {
    static std::mutex m;
    std::lock_guard lock(m);
    std::cerr << "ctb11000-server: " << text << std::endl;
}

std::string Seconds(std::chrono::milliseconds t) {
    const auto s = std::max<long long>(1, (t.count() + 999) / 1000);
    return std::to_string(s) + (s == 1 ? " segundo" : " segundos");
}

// Waits until fd is ready for `events` or the deadline passes; false on timeout.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, 0x7fffffff)));
        if (r > 0) return true;
        if (r < 0 && errno != EINTR) return true;  // the next call reports the error
    }
}

// Writes everything before the deadline; false when the peer is gone or slow.
bool WriteAll(int fd, const std::string& bytes, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd, POLLOUT, deadline)) return false;
        } else {
            return false;
        }
    }
    return true;
}

void SetOption(int fd, int level, int name, int value) { ::setsockopt(fd, level, name, &value, sizeof value); }

// Non-blocking I/O under poll(), no Nagle delay, and keepalive probes so that
// a peer that vanished (cable, crash, sleep) is noticed while we wait on it.
void ConfigureSocket(int fd, int keepAliveSeconds) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    SetOption(fd, IPPROTO_TCP, TCP_NODELAY, 1);
    SetOption(fd, SOL_SOCKET, SO_KEEPALIVE, 1);
    SetOption(fd, IPPROTO_TCP, TCP_KEEPIDLE, std::max(1, keepAliveSeconds));
    SetOption(fd, IPPROTO_TCP, TCP_KEEPINTVL, 10);
    SetOption(fd, IPPROTO_TCP, TCP_KEEPCNT, 3);
}

// Turns a new client away with an answer it reads as the failure of its call.
void TurnAway(asio::ip::tcp::socket& socket, const std::string& message) {
    const std::string answer = EncodeResponse(ErrorAnswer(std::nullopt, WireCode(TErrorKind::Limite), message));
    ::send(socket.native_handle(), answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    asio::error_code ignored;
    socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
}

// The memory every connection holds for unanswered requests, server-wide.
class TInputBudget {
public:
    static constexpr std::size_t kFreePerConnection = std::size_t{1} << 20;

    explicit TInputBudget(std::size_t limit) : limit_(limit) {}

    // One connection's share; gives it back when destroyed.
    class THold {
    public:
        explicit THold(TInputBudget& b) : budget_(b) {}
        ~THold() { Set(0); }
        THold(const THold&) = delete;
        THold& operator=(const THold&) = delete;

        // The connection now holds `bytes`; false (nothing changed) when that
        // would put the server over its budget.
        bool Set(std::size_t bytes) {
            const std::size_t counted = bytes > kFreePerConnection ? bytes - kFreePerConnection : 0;
            std::lock_guard lock(budget_.mutex_);
            const std::size_t others = budget_.used_ - counted_;
            if (counted > counted_ && (counted > budget_.limit_ || others > budget_.limit_ - counted)) return false;
            budget_.used_ = others + counted;
            counted_ = counted;
            return true;
        }

    private:
        TInputBudget& budget_;
        std::size_t counted_ = 0;
    };

private:
    std::size_t limit_;
    std::mutex mutex_;
    std::size_t used_ = 0;
};

}  // namespace

// A connection is idle between requests, busy from the moment a whole request
// is taken until its answer is written, and evicted when it gave way to a new
// client; the last two exclude each other, so a running call always answers.
enum class TConnState { Idle, Busy, Evicted };

struct TConnection {
    explicit TConnection(asio::ip::tcp::socket s) : socket(std::move(s)) {}
    asio::ip::tcp::socket socket;
    std::thread thread;
    std::atomic<bool> done{false};
    std::atomic<TConnState> state{TConnState::Idle};
    // Accept, last answer or start of the request now arriving: the
    // connection that has gone longest without progress gives way first.
    std::atomic<Clock::rep> quietSince{Clock::now().time_since_epoch().count()};

    int Fd() { return socket.native_handle(); }
    bool Live() const { return !done && state != TConnState::Evicted; }
};

struct TRpcServer::Impl {
    explicit Impl(TRpcServerOptions o)
        : options(std::move(o)), acceptor(io), retry(io), budget(options.MaxInputMemory) {}

    TRpcServerOptions options;
    std::map<std::string, TMethod> methods;  // by lower-case name
    std::mutex serialize;                    // held around handlers when SerializeHandlers

    asio::io_context io;
    asio::ip::tcp::acceptor acceptor;
    asio::steady_timer retry;  // pause after a failed accept (out of descriptors...)
    std::thread acceptThread;
    int port = 0;
    bool started = false;

    mutable std::mutex mutex;  // guards connections and stopping
    std::list<std::unique_ptr<TConnection>> connections;
    bool stopping = false;
    TInputBudget budget;

    void RunAcceptor();
    void Accept();
    void AcceptLater();
    void Adopt(asio::ip::tcp::socket socket);
    void StartServing(TConnection& c);
    bool MakeRoom();
    void ReapFinished();
    void Serve(TConnection& c);
    bool ServeFrames(TConnection& c, TRpcFrameReader& reader, TInputBudget::THold& hold, Clock::time_point& frameStart,
                     TRpcSessionGate& gate);
    bool Answer(TRpcFrameReader& reader, std::string& answer, bool& close, const TPacketStream::TSend& send,
                TRpcSessionGate& gate);
    TRpcResponse Dispatch(TRpcRequest& req, const TPacketStream::TSend& send);
    TRpcResponse Invoke(const TMethod& m, TRpcRequest& req, const TPacketStream::TSend& send);
};

void TRpcServer::Impl::Accept() {
    acceptor.async_accept([this](const asio::error_code& ec, asio::ip::tcp::socket socket) {
        if (ec == asio::error::operation_aborted || !acceptor.is_open()) return;
        if (ec) {
            // Out of descriptors or memory: try again shortly instead of spinning.
            AcceptLater();
            return;
        }
        try {
            Adopt(std::move(socket));
        } catch (const std::exception& e) {
            Log(std::string("conexão recusada: ") + e.what());
        }
        Accept();
    });
}

void TRpcServer::Impl::Adopt(asio::ip::tcp::socket socket) {
    std::lock_guard lock(mutex);
    ReapFinished();
    if (stopping) {
        asio::error_code ignored;
        socket.close(ignored);
        return;
    }
    if (!MakeRoom()) {
        TurnAway(socket, "O servidor de aplicação está atendendo o máximo de " +
                             std::to_string(options.MaxConnections) +
                             " conexões ao mesmo tempo; tente novamente em instantes.");
        return;
    }
    ConfigureSocket(socket.native_handle(), options.KeepAliveSeconds);
    connections.push_back(std::make_unique<TConnection>(std::move(socket)));
    StartServing(*connections.back());
}

void TRpcServer::Impl::StartServing(TConnection& c) {
    auto body = [this, &c] {
        try {
            Serve(c);
        } catch (const std::exception& e) {
            Log(std::string("conexão encerrada: ") + e.what());
        } catch (...) {
            Log("conexão encerrada por um erro inesperado");
        }
        // Closed at once, so a peer still sending is reset instead of left
        // blocked; under the lock, so nobody shuts a reused descriptor down.
        std::lock_guard lock(mutex);
        asio::error_code ignored;
        c.socket.close(ignored);
        c.done = true;
    };
    try {
        c.thread = options.StartThread ? options.StartThread(body) : std::thread(body);
        return;
    } catch (const std::exception& e) {
        Log(std::string("não foi possível atender uma conexão: ") + e.what());
    }
    // At the process's thread limit: this client is refused, the others go on.
    const auto refused = std::move(connections.back());
    connections.pop_back();
    try {
        TurnAway(refused->socket,
                 "O servidor de aplicação não tem recursos para atender mais uma conexão agora; "
                 "tente novamente em instantes.");
    } catch (const std::exception&) {
        // Out of memory for the answer too: the socket just closes.
    }
}

// The acceptor's thread. An exception out of a completion handler (out of
// memory) must not end the thread or the process: accepting is armed again.
void TRpcServer::Impl::RunAcceptor() {
    for (;;) {
        try {
            io.run();
            return;  // the acceptor was closed by Stop
        } catch (const std::exception& e) {
            Log(std::string("erro ao aceitar conexões: ") + e.what());
        }
        for (;;) {
            try {
                AcceptLater();
                break;
            } catch (const std::exception&) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
        }
    }
}

void TRpcServer::Impl::AcceptLater() {
    retry.expires_after(std::chrono::milliseconds(100));
    retry.async_wait([this](const asio::error_code& e) {
        if (!e && acceptor.is_open()) Accept();
    });
}

// At the cap, the connection quiet for longest (no call running) gives way.
bool TRpcServer::Impl::MakeRoom() {
    const auto live = std::count_if(connections.begin(), connections.end(), [](const auto& c) { return c->Live(); });
    if (static_cast<std::size_t>(live) < options.MaxConnections) return true;
    // A request already waiting unread makes a connection busy in all but name.
    auto waiting = [](TConnection& c) {
        int unread = 0;
        return ::ioctl(c.Fd(), FIONREAD, &unread) == 0 && unread > 0;
    };
    std::vector<TConnection*> idle;
    for (auto& c : connections)
        if (c->Live() && c->state == TConnState::Idle && !waiting(*c)) idle.push_back(c.get());
    std::sort(idle.begin(), idle.end(), [](auto* a, auto* b) { return a->quietSince < b->quietSince; });
    for (TConnection* c : idle) {
        auto expected = TConnState::Idle;
        if (!c->state.compare_exchange_strong(expected, TConnState::Evicted)) continue;
        ::shutdown(c->Fd(), SHUT_RDWR);
        return true;
    }
    return false;
}

void TRpcServer::Impl::ReapFinished() {
    for (auto it = connections.begin(); it != connections.end();) {
        if ((*it)->done) {
            (*it)->thread.join();
            it = connections.erase(it);
        } else {
            ++it;
        }
    }
}

void TRpcServer::Impl::Serve(TConnection& c) {
    TInputBudget::THold hold(budget);
    TRpcSessionGate gate(options.Token);
    TRpcFrameReader reader(options.Limits);
    std::vector<char> chunk(64 * 1024);
    Clock::time_point frameStart{};
    for (;;) {
        const bool midFrame = reader.Pending() > 0;
        const auto deadline = midFrame ? frameStart + options.FrameTimeout
                                       : Clock::time_point(Clock::duration(c.quietSince.load())) + options.IdleTimeout;
        if (!WaitFor(c.Fd(), POLLIN, deadline)) {
            if (midFrame) {
                const std::string answer = EncodeResponse(ErrorAnswer(
                    std::nullopt, WireCode(TErrorKind::Tempo),
                    "A requisição não chegou inteira em " + Seconds(options.FrameTimeout) + "; conexão encerrada."));
                WriteAll(c.Fd(), answer, Clock::now() + options.WriteTimeout);
            }
            return;
        }
        const ssize_t n = ::recv(c.Fd(), chunk.data(), chunk.size(), 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
        if (n <= 0 || c.state == TConnState::Evicted) return;
        if (!midFrame) {
            frameStart = Clock::now();
            c.quietSince = frameStart.time_since_epoch().count();
        }
        reader.Feed(chunk.data(), static_cast<std::size_t>(n));
        if (!ServeFrames(c, reader, hold, frameStart, gate)) return;
    }
}

// Answers every whole frame held by the reader; false when the connection must close.
bool TRpcServer::Impl::ServeFrames(TConnection& c, TRpcFrameReader& reader, TInputBudget::THold& hold,
                                   Clock::time_point& frameStart, TRpcSessionGate& gate) {
    for (;;) {
        bool ready = false;
        std::string answer;
        bool close = false;
        try {
            ready = reader.FrameReady();
        } catch (const ERpcFrameError& e) {
            answer = EncodeResponse(ErrorAnswer(e.MsgId(), e.Code(), e.what()));
            close = true;
        }
        if (!close && !hold.Set(reader.Weight())) {
            answer = EncodeResponse(
                ErrorAnswer(std::nullopt, WireCode(TErrorKind::Limite),
                            "O servidor de aplicação está sem memória livre para receber esta requisição; "
                            "tente novamente em instantes."));
            close = true;
        }
        if (!close && !ready) return true;
        auto expected = TConnState::Idle;
        if (!c.state.compare_exchange_strong(expected, TConnState::Busy)) return false;  // gave way meanwhile
        // Pieces of a large answer go out while the handler runs.
        auto sendPiece = [this, &c](const std::string& frame) {
            if (!WriteAll(c.Fd(), frame, Clock::now() + options.WriteTimeout)) throw EPieceNotSent{};
            c.quietSince = Clock::now().time_since_epoch().count();
        };
        if (!close) Answer(reader, answer, close, sendPiece, gate);
        const bool written = WriteAll(c.Fd(), answer, Clock::now() + options.WriteTimeout);
        c.quietSince = Clock::now().time_since_epoch().count();
        c.state = TConnState::Idle;
        if (!written || close) return false;
        frameStart = Clock::now();
        if (!hold.Set(reader.Weight())) return false;  // only ever shrinks here
    }
}

bool TRpcServer::Impl::Answer(TRpcFrameReader& reader, std::string& answer, bool& close,
                              const TPacketStream::TSend& send, TRpcSessionGate& gate) {
    TRpcResponse r;
    close = false;
    try {
        TRpcRequest req;
        if (!reader.NextRequest(req)) return false;
        if (!gate.Intercept(req, r, close)) {
            TRpcCallerScope caller(gate.Caller());
            r = Dispatch(req, send);
        }
    } catch (const EPieceNotSent&) {
        answer.clear();
        close = true;
        return true;
    } catch (const ERpcFrameError& e) {
        r = ErrorAnswer(e.MsgId(), e.Code(), e.what());
        close = !e.InSync();
    } catch (const std::bad_alloc&) {
        Log("memória esgotada ao ler uma requisição");
        r = ErrorAnswer(std::nullopt, WireCode(TErrorKind::Limite),
                        "Memória insuficiente no servidor de aplicação para esta requisição; conexão encerrada.");
        close = true;
    }
    try {
        answer = EncodeResponse(r);
    } catch (const std::bad_alloc&) {
        Log("memória esgotada ao escrever uma resposta");
        answer = EncodeResponse(ErrorAnswer(r.MsgId, WireCode(TErrorKind::Interno),
                                            "Memória insuficiente no servidor de aplicação para a resposta."));
    }
    return true;
}

TRpcResponse TRpcServer::Impl::Dispatch(TRpcRequest& req, const TPacketStream::TSend& send) {
    const auto it = methods.find(LowerCase(req.Method));
    if (it == methods.end())
        return ErrorAnswer(req.MsgId, WireCode(TErrorKind::Metodo),
                           "Método desconhecido: " + Utf8Printable(req.Method));
    if (!options.SerializeHandlers) return Invoke(it->second, req, send);
    std::lock_guard lock(serialize);
    return Invoke(it->second, req, send);
}

TRpcResponse TRpcServer::Impl::Invoke(const TMethod& m, TRpcRequest& req, const TPacketStream::TSend& send) {
    // What went wrong inside goes to the server's log; the bookkeeper gets a plain message.
    const std::string plain = "Erro interno no servidor de aplicação ao executar " + m.name +
                              ". Tente novamente; se o erro continuar, avise o responsável pelo servidor.";
    try {
        TRpcResponse r;
        r.MsgId = req.MsgId;
        if (m.packetHandler) {
            TPacketStream stream(m.fields);
            stream.Bind(req.MsgId, send, options.PieceBytes);
            m.packetHandler(req.Params, stream);
            r.Value = TRpcValue(stream.TakePacket());
        } else {
            r.Value = m.handler(req.Params);
        }
        for (int i : m.byRef)
            if (i >= 0 && static_cast<std::size_t>(i) < req.Params.size()) r.Out[i] = std::move(req.Params[i]);
        return r;
    } catch (const EPieceNotSent&) {
        throw;
    } catch (const ERpcError& e) {
        return ErrorAnswer(req.MsgId, e.Code(), e.what());
    } catch (const std::exception& e) {
        Log(m.name + ": " + e.what());
        return ErrorAnswer(req.MsgId, WireCode(TErrorKind::Interno), plain);
    } catch (...) {
        Log(m.name + ": erro inesperado");
        return ErrorAnswer(req.MsgId, WireCode(TErrorKind::Interno), plain);
    }
}

TRpcServer::TRpcServer(TRpcServerOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

TRpcServer::~TRpcServer() { Stop(); }

void TRpcServer::Register(std::string name, std::vector<int> byRefIndexes, THandler handler) {
    std::string key = LowerCase(name);
    impl_->methods[key] = TMethod{std::move(name), std::move(byRefIndexes), std::move(handler), {}, {}};
}

void TRpcServer::RegisterPacket(std::string name, std::vector<int> byRefIndexes, std::vector<TPacketField> fields,
                                TPacketHandler handler) {
    std::string key = LowerCase(name);
    impl_->methods[key] = TMethod{std::move(name), std::move(byRefIndexes), {}, std::move(handler), std::move(fields)};
}

bool TRpcServer::AnswerNext(TRpcFrameReader& reader, std::string& answer, bool& close) {
    try {
        if (!reader.FrameReady()) return false;
    } catch (const ERpcFrameError& e) {
        answer = EncodeResponse(ErrorAnswer(e.MsgId(), e.Code(), e.what()));
        close = true;
        return true;
    }
    std::string pieces;
    TRpcSessionGate gate(impl_->options.Token);
    const bool answered = impl_->Answer(
        reader, answer, close, [&pieces](const std::string& frame) { pieces += frame; }, gate);
    if (!pieces.empty()) answer = pieces + answer;
    return answered;
}

int TRpcServer::Start(const std::string& address, int port) {
    auto& d = *impl_;
    if (d.started) return d.port;
    try {
        const asio::ip::tcp::endpoint ep(asio::ip::make_address(address), static_cast<unsigned short>(port));
        d.acceptor.open(ep.protocol());
        d.acceptor.set_option(asio::ip::tcp::acceptor::reuse_address(true));
        d.acceptor.bind(ep);
        d.acceptor.listen();
        d.port = d.acceptor.local_endpoint().port();
    } catch (const std::exception& e) {
        asio::error_code ignored;
        d.acceptor.close(ignored);
        throw ERpcError(TErrorKind::Conexao,
                        "Não foi possível escutar em " + address + ":" + std::to_string(port) + ": " + e.what());
    }
    d.started = true;
    d.stopping = false;
    d.io.restart();  // a server may be started again after Stop
    d.Accept();
    d.acceptThread = std::thread([&d] { d.RunAcceptor(); });
    return d.port;
}

void TRpcServer::Stop() {
    auto& d = *impl_;
    if (!d.started) return;
    asio::post(d.io, [&d] {
        asio::error_code ignored;
        d.acceptor.close(ignored);
        d.retry.cancel();
    });
    d.acceptThread.join();
    std::list<std::unique_ptr<TConnection>> connections;
    {
        std::lock_guard lock(d.mutex);
        d.stopping = true;
        // Only the read side: a running handler still sends its answer.
        for (auto& c : d.connections) ::shutdown(c->Fd(), SHUT_RD);
        connections.swap(d.connections);
    }
    // A client that stops reading would hold its thread in a write until the
    // write timeout: after a grace period the remaining connections are cut.
    const auto grace = Clock::now() + std::chrono::seconds(5);
    auto allDone = [&] {
        return std::all_of(connections.begin(), connections.end(), [](const auto& c) { return c->done.load(); });
    };
    while (!allDone() && Clock::now() < grace) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    {
        std::lock_guard lock(d.mutex);
        for (auto& c : connections)
            if (!c->done) ::shutdown(c->Fd(), SHUT_RDWR);
    }
    for (auto& c : connections)
        if (c->thread.joinable()) c->thread.join();
    d.started = false;
}

int TRpcServer::Port() const { return impl_->port; }

std::size_t TRpcServer::ActiveConnections() const {
    std::lock_guard lock(impl_->mutex);
    return static_cast<std::size_t>(
        std::count_if(impl_->connections.begin(), impl_->connections.end(), [](const auto& c) { return c->Live(); }));
}

void ExpectArgs(const std::vector<TRpcValue>& args, std::size_t n, const std::string& method) {
    if (args.size() == n) return;
    throw ERpcError(TErrorKind::Argumentos, "O método " + method + " espera " + std::to_string(n) + " argumento" +
                                                (n == 1 ? "" : "s") + " e recebeu " + std::to_string(args.size()) +
                                                ".");
}
