// TRpcClient over plain POSIX sockets: a non-blocking socket waited on with
// poll() against a deadline, so connect and call timeouts hold even when the
// server stops answering in the middle of a frame.
#include "platform/net/rpc_client.h"

#include "platform/net/session_token.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;

namespace {

int MillisLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return 0;
    return left > 0x7fffffff ? 0x7fffffff : static_cast<int>(left);
}

Clock::time_point DeadlineAfter(std::chrono::milliseconds timeout) {
    if (timeout.count() <= 0) return Clock::now();
    return Clock::now() + timeout;
}

// Waits for `events` on fd until the deadline. false on timeout.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int r = ::poll(&p, 1, MillisLeft(deadline));
        if (r > 0) return true;
        if (r == 0) return false;
        if (errno != EINTR) return true;  // let the following call report the error
    }
}

std::string Seconds(std::chrono::milliseconds t) {
    const auto s = (t.count() + 999) / 1000;
    return std::to_string(s) + (s == 1 ? " segundo" : " segundos");
}

// One connect attempt to one resolved address; returns the socket or -1 with errno-like text.
int TryConnect(const addrinfo* ai, Clock::time_point deadline, bool& timedOut, std::string& why) {
    const int fd = ::socket(ai->ai_family, ai->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, ai->ai_protocol);
    if (fd < 0) {
        why = std::strerror(errno);
        return -1;
    }
    int err = 0;
    if (::connect(fd, ai->ai_addr, ai->ai_addrlen) != 0) {
        if (errno != EINPROGRESS) {
            err = errno;
        } else if (!WaitFor(fd, POLLOUT, deadline)) {
            timedOut = true;
        } else {
            socklen_t len = sizeof err;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
        }
    }
    if (timedOut || err != 0) {
        if (err) why = std::strerror(err);
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

}  // namespace

TRpcClient::TRpcClient(TRpcLimits limits) : limits_(limits) {}

TRpcClient::~TRpcClient() { Disconnect(); }

void TRpcClient::Connect(const std::string& host, int port, std::chrono::milliseconds timeout) {
    Disconnect();
    host_ = host;
    port_ = port;
    const std::string where =
        "Não foi possível conectar ao servidor de aplicação em " + host + ":" + std::to_string(port) + ".";
    if (port <= 0 || port > 65535) throw ERpcError(TErrorKind::Conexao, where + " Porta inválida.");

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    const int gai = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &list);
    if (gai != 0) throw ERpcError(TErrorKind::Conexao, where + " " + ::gai_strerror(gai) + ".");

    const auto deadline = DeadlineAfter(timeout);
    bool timedOut = false;
    std::string why = "endereço não encontrado";
    for (const addrinfo* ai = list; ai && fd_ < 0 && !timedOut; ai = ai->ai_next)
        fd_ = TryConnect(ai, deadline, timedOut, why);
    ::freeaddrinfo(list);
    if (timedOut) throw ERpcError(TErrorKind::Tempo, where + " Tempo esgotado após " + Seconds(timeout) + ".");
    if (fd_ < 0) throw ERpcError(TErrorKind::Conexao, where + " " + why + ".");
    if (hasSession_) OpenSession(timeout);
}

void TRpcClient::SetSession(std::string token, std::string session, std::string operador) {
    hasSession_ = true;
    token_ = std::move(token);
    session_ = std::move(session);
    operator_ = std::move(operador);
}

void TRpcClient::OpenSession(std::chrono::milliseconds timeout) {
    try {
        Call(kOpenSessionMethod, {TRpcArg(token_), TRpcArg(session_), TRpcArg(operator_)}, timeout);
    } catch (const ERpcError&) {
        Disconnect();  // a refused client is closed by the server too
        throw;
    }
}

void TRpcClient::Disconnect() noexcept {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void TRpcClient::Fail(TErrorKind kind, const std::string& message) {
    Disconnect();
    throw ERpcError(kind, message);
}

void TRpcClient::SendAll(const std::string& bytes, Clock::time_point deadline) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (!WaitFor(fd_, POLLOUT, deadline))
                Fail(TErrorKind::Tempo, "O servidor de aplicação não respondeu a tempo.");
        } else {
            Fail(TErrorKind::Conexao, "Conexão com o servidor de aplicação perdida.");
        }
    }
}

TRpcResponse TRpcClient::ReadResponse(std::uint32_t msgid, Clock::time_point deadline) {
    TRpcFrameReader reader(limits_);
    std::vector<char> chunk(64 * 1024);
    TRpcResponse resp;
    for (;;) {
        try {
            if (reader.NextResponse(resp)) break;
        } catch (const ERpcFrameError& e) {
            Fail(TErrorKind::Protocolo, std::string("Resposta inválida do servidor de aplicação. ") + e.what());
        }
        if (!WaitFor(fd_, POLLIN, deadline)) Fail(TErrorKind::Tempo, "O servidor de aplicação não respondeu a tempo.");
        const ssize_t n = ::recv(fd_, chunk.data(), chunk.size(), 0);
        if (n > 0) reader.Feed(chunk.data(), static_cast<std::size_t>(n));
        else if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
        else Fail(TErrorKind::Conexao, "Conexão com o servidor de aplicação perdida.");
    }
    // An answer without msgid is the server refusing the frame itself; any
    // other msgid means the stream is out of step.
    if (resp.MsgId && *resp.MsgId != msgid)
        Fail(TErrorKind::Protocolo,
             "Resposta inválida do servidor de aplicação: identificador de mensagem inesperado.");
    if (reader.Pending() != 0)
        Fail(TErrorKind::Protocolo, "Resposta inválida do servidor de aplicação: dados inesperados após a resposta.");
    return resp;
}

// True when the peer has closed an idle connection (nothing is due on it
// between calls, so readable with no data means closed).
bool TRpcClient::ClosedWhileIdle() const {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) return false;
    char byte;
    const ssize_t n = ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR);
}

TRpcValue TRpcClient::Call(const std::string& method, const std::vector<TRpcArg>& args,
                           std::chrono::milliseconds timeout) {
    if (fd_ < 0) throw ERpcError(TErrorKind::Conexao, "Não há conexão com o servidor de aplicação.");
    // The server closes connections left idle; the call was not sent yet, so
    // it goes over a new connection.
    if (ClosedWhileIdle()) {
        try {
            Connect(host_, port_);
        } catch (const ERpcError&) {
            Fail(TErrorKind::Conexao, "Conexão com o servidor de aplicação perdida.");
        }
    }
    const auto deadline = DeadlineAfter(timeout);
    TRpcRequest req;
    req.MsgId = nextMsgId_++;
    req.Method = method;
    req.Params.reserve(args.size());
    for (const auto& a : args) req.Params.push_back(a.Value());
    SendAll(EncodeRequest(req), deadline);
    req.Params.clear();

    TRpcResponse resp = ReadResponse(req.MsgId, deadline);
    if (!resp.Ok) {
        // The server closes after refusing a frame, and after refusing access.
        if (!resp.MsgId || resp.ErrorCode == WireCode(TErrorKind::Acesso)) Disconnect();
        throw ERpcError(resp.ErrorCode,
                        resp.ErrorMessage.empty() ? "Erro no servidor de aplicação." : resp.ErrorMessage);
    }
    for (auto& [index, value] : resp.Out) {
        if (index >= 0 && static_cast<std::size_t>(index) < args.size() && args[index].ByRef())
            *args[index].Target() = std::move(value);
    }
    return std::move(resp.Value);
}

TRpcValue TRpcClient::Call(const std::string& method, const std::vector<TRpcValue*>& args,
                           std::chrono::milliseconds timeout) {
    std::vector<TRpcArg> refs;
    refs.reserve(args.size());
    for (TRpcValue* a : args) {
        if (!a) throw ERpcError(TErrorKind::Argumentos, "Argumento nulo na chamada de " + method + ".");
        refs.push_back(TRpcArg::Ref(*a));
    }
    return Call(method, refs, timeout);
}
