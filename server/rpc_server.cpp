// TRpcServer: an Asio acceptor on its own thread hands each connection to a
// thread of its own, which reads frames, runs the handler and writes the
// answer. Stop() shuts the read side of every connection, so a handler that is
// running still delivers its answer before its thread ends.
#include "server/rpc_server.h"

#include <asio.hpp>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <condition_variable>
#include <iostream>
#include <list>
#include <map>
#include <mutex>
#include <thread>

#include <sys/socket.h>

namespace {

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct TMethod {
    std::string name;
    std::vector<int> byRef;
    TRpcServer::THandler handler;
};

TRpcResponse ErrorAnswer(std::optional<std::uint32_t> msgid, std::string code, std::string message) {
    TRpcResponse r;
    r.MsgId = msgid;
    r.Ok = false;
    r.ErrorCode = std::move(code);
    r.ErrorMessage = std::move(message);
    return r;
}

}  // namespace

struct TConnection {
    explicit TConnection(asio::ip::tcp::socket s) : socket(std::move(s)) {}
    asio::ip::tcp::socket socket;
    std::thread thread;
    std::atomic<bool> done{false};
};

struct TRpcServer::Impl {
    explicit Impl(TRpcServerOptions o) : options(o), acceptor(io) {}

    TRpcServerOptions options;
    std::map<std::string, TMethod> methods;  // by lower-case name
    std::mutex serialize;                    // held around handlers when SerializeHandlers

    asio::io_context io;
    asio::ip::tcp::acceptor acceptor;
    std::thread acceptThread;
    int port = 0;
    bool started = false;

    mutable std::mutex mutex;  // guards connections and stopping
    std::list<std::unique_ptr<TConnection>> connections;
    bool stopping = false;

    void Accept();
    void Adopt(asio::ip::tcp::socket socket);
    void ReapFinished();
    void Serve(TConnection& c);
    bool ServeFrames(TRpcFrameReader& reader, asio::ip::tcp::socket& socket);
    TRpcResponse Dispatch(TRpcRequest& req);
    TRpcResponse Invoke(const TMethod& m, TRpcRequest& req);
};

void TRpcServer::Impl::Accept() {
    acceptor.async_accept([this](const asio::error_code& ec, asio::ip::tcp::socket socket) {
        if (ec == asio::error::operation_aborted || !acceptor.is_open()) return;
        if (!ec) Adopt(std::move(socket));
        Accept();
    });
}

void TRpcServer::Impl::Adopt(asio::ip::tcp::socket socket) {
    std::lock_guard lock(mutex);
    ReapFinished();
    if (stopping || connections.size() >= options.MaxConnections) {
        asio::error_code ignored;
        socket.close(ignored);
        return;
    }
    asio::error_code ignored;
    socket.set_option(asio::ip::tcp::no_delay(true), ignored);
    auto& c = *connections.emplace_back(std::make_unique<TConnection>(std::move(socket)));
    c.thread = std::thread([this, &c] {
        Serve(c);
        c.done = true;
    });
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
    TRpcFrameReader reader(options.Limits);
    std::vector<char> chunk(64 * 1024);
    for (;;) {
        asio::error_code ec;
        const std::size_t n = c.socket.read_some(asio::buffer(chunk), ec);
        if (ec || n == 0) break;
        reader.Feed(chunk.data(), n);
        if (!ServeFrames(reader, c.socket)) break;
    }
    asio::error_code ignored;
    c.socket.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
    c.socket.close(ignored);
}

// Answers every whole frame held by the reader; false when the connection must close.
bool TRpcServer::Impl::ServeFrames(TRpcFrameReader& reader, asio::ip::tcp::socket& socket) {
    for (;;) {
        TRpcResponse answer;
        bool keepOpen = true;
        try {
            TRpcRequest req;
            if (!reader.NextRequest(req)) return true;
            answer = Dispatch(req);
        } catch (const ERpcFrameError& e) {
            answer = ErrorAnswer(e.MsgId(), e.Code(), e.what());
            keepOpen = e.InSync();
        }
        asio::error_code ec;
        asio::write(socket, asio::buffer(EncodeResponse(answer)), ec);
        if (ec || !keepOpen) return false;
    }
}

TRpcResponse TRpcServer::Impl::Dispatch(TRpcRequest& req) {
    const auto it = methods.find(Lower(req.Method));
    if (it == methods.end()) return ErrorAnswer(req.MsgId, "metodo", "Método desconhecido: " + req.Method);
    if (!options.SerializeHandlers) return Invoke(it->second, req);
    std::lock_guard lock(serialize);
    return Invoke(it->second, req);
}

TRpcResponse TRpcServer::Impl::Invoke(const TMethod& m, TRpcRequest& req) {
    try {
        TRpcResponse r;
        r.MsgId = req.MsgId;
        r.Value = m.handler(req.Params);
        for (int i : m.byRef)
            if (i >= 0 && static_cast<std::size_t>(i) < req.Params.size()) r.Out[i] = std::move(req.Params[i]);
        return r;
    } catch (const ERpcError& e) {
        return ErrorAnswer(req.MsgId, e.Code(), e.what());
    } catch (const std::exception& e) {
        std::cerr << "ctb11000-server: " << m.name << ": " << e.what() << std::endl;
        return ErrorAnswer(req.MsgId, "interno",
                           "Erro interno no servidor de aplicação ao executar " + m.name + ": " + e.what());
    } catch (...) {
        return ErrorAnswer(req.MsgId, "interno", "Erro interno no servidor de aplicação ao executar " + m.name + ".");
    }
}

TRpcServer::TRpcServer(TRpcServerOptions options) : impl_(std::make_unique<Impl>(options)) {}

TRpcServer::~TRpcServer() { Stop(); }

void TRpcServer::Register(std::string name, std::vector<int> byRefIndexes, THandler handler) {
    std::string key = Lower(name);
    impl_->methods[key] = TMethod{std::move(name), std::move(byRefIndexes), std::move(handler)};
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
        throw ERpcError("conexao", "Não foi possível escutar em " + address + ":" + std::to_string(port) + ": " +
                                       e.what());
    }
    d.started = true;
    d.io.restart();  // a server may be started again after Stop
    d.Accept();
    d.acceptThread = std::thread([&d] { d.io.run(); });
    return d.port;
}

void TRpcServer::Stop() {
    auto& d = *impl_;
    if (!d.started) return;
    asio::post(d.io, [&d] {
        asio::error_code ignored;
        d.acceptor.close(ignored);
    });
    d.acceptThread.join();
    std::list<std::unique_ptr<TConnection>> connections;
    {
        std::lock_guard lock(d.mutex);
        d.stopping = true;
        // Only the read side: a running handler still sends its answer.
        for (auto& c : d.connections) ::shutdown(c->socket.native_handle(), SHUT_RD);
        connections.swap(d.connections);
    }
    // A client that stops reading would hold its thread in a write forever:
    // after a grace period the remaining connections are cut outright.
    const auto grace = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    auto allDone = [&] {
        return std::all_of(connections.begin(), connections.end(), [](const auto& c) { return c->done.load(); });
    };
    while (!allDone() && std::chrono::steady_clock::now() < grace)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (auto& c : connections)
        if (!c->done) ::shutdown(c->socket.native_handle(), SHUT_RDWR);
    for (auto& c : connections) c->thread.join();
    d.started = false;
}

int TRpcServer::Port() const { return impl_->port; }

std::size_t TRpcServer::ActiveConnections() const {
    std::lock_guard lock(impl_->mutex);
    return static_cast<std::size_t>(std::count_if(impl_->connections.begin(), impl_->connections.end(),
                                                  [](const auto& c) { return !c->done; }));
}

void ExpectArgs(const std::vector<TRpcValue>& args, std::size_t n, const std::string& method) {
    if (args.size() == n) return;
    throw ERpcError("argumentos", "O método " + method + " espera " + std::to_string(n) + " argumento" +
                                      (n == 1 ? "" : "s") + " e recebeu " + std::to_string(args.size()) + ".");
}
