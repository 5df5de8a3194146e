// The examples of docs/protocol.md, replayed in order against a real
// ctb11000-server over a fresh demo database (ctb-demo --year 2024): every
// request is sent as the document writes it and the answer must be the one
// the document shows, so the document cannot drift from the server.
#include "platform/net/error_kind.h"
#include "server/store.h"

#include "platform/data/text.h"
#include "tests/protocol/doc_examples.h"
#include "tests/server/server_process.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ProtocolText() { return ReadFile(fs::path(CTB_SOURCE_DIR) / "docs" / "protocol.md"); }

// One blocking loopback connection that sends a request and reads its answer.
class Connection {
public:
    explicit Connection(int port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd_ < 0 || connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            throw std::runtime_error("sem conexão com o servidor");
    }
    ~Connection() { close(fd_); }

    TRpcResponse Call(const TRpcRequest& request) {
        const std::string frame = EncodeRequest(request);
        for (std::size_t sent = 0; sent < frame.size();) {
            ssize_t n = send(fd_, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) throw std::runtime_error("falha ao enviar");
            sent += static_cast<std::size_t>(n);
        }
        TRpcResponse response;
        while (!reader_.NextResponse(response)) {
            pollfd p{fd_, POLLIN, 0};
            char buf[65536];
            if (poll(&p, 1, 30000) <= 0) throw std::runtime_error("o servidor não respondeu");
            ssize_t n = recv(fd_, buf, sizeof buf, 0);
            if (n <= 0) throw std::runtime_error("o servidor fechou a conexão");
            reader_.Feed(buf, static_cast<std::size_t>(n));
        }
        return response;
    }

private:
    int fd_ = -1;
    TRpcFrameReader reader_;
};

class ProtocolDoc : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("ctb-protocolo-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        db_ = (dir_ / "demo.db").string();
        const std::string demo = storetest::ProgramDir() + "/ctb-demo --db '" + db_ + "' --year 2024 >/dev/null";
        ASSERT_EQ(std::system(demo.c_str()), 0) << demo;
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
    std::string db_;
};

TEST_F(ProtocolDoc, EveryExampleGetsTheAnswerTheDocumentShows) {
    const std::vector<protodoc::Exchange> exchanges = protodoc::ReadExchanges(ProtocolText());
    ASSERT_GE(exchanges.size(), 12u);
    storetest::TServerProcess server(db_);
    Connection connection(server.Port());
    for (const protodoc::Exchange& x : exchanges) {
        const TRpcRequest request = protodoc::ToRequest(x.Request);
        const std::string why = protodoc::Compare(x.Response, connection.Call(request));
        EXPECT_EQ(why, "") << "docs/protocol.md:" << x.Line << ": " << request.Method;
    }
}

TEST_F(ProtocolDoc, EveryMethodHasAnExample) {
    std::set<std::string> shown;
    for (const protodoc::Exchange& x : protodoc::ReadExchanges(ProtocolText())) {
        shown.insert(LowerCase(protodoc::ToRequest(x.Request).Method));
    }
    for (const TStoreMethod& m : StoreMethods()) {
        EXPECT_TRUE(shown.count(LowerCase(m.Signature->Name)))
            << m.Signature->Name << " não tem exemplo em docs/protocol.md";
    }
}

// The argument table under each method's heading: as many rows as the
// method table's argument count, "ref" exactly at its by-reference positions.
TEST_F(ProtocolDoc, ArgumentTablesFollowTheMethodTable) {
    const std::string doc = ProtocolText();
    for (const TStoreMethod& m : StoreMethods()) {
        const std::string heading = std::string("### ") + m.Signature->Name;
        const std::size_t at = doc.find(heading);
        ASSERT_NE(at, std::string::npos) << heading;
        std::istringstream section(doc.substr(at + heading.size(), doc.find("\n### ", at + 1) - at - heading.size()));
        std::string line;
        int indexColumn = -1;
        std::size_t rows = 0;
        std::vector<int> byRef;
        while (std::getline(section, line)) {
            if (line.rfind("|", 0) != 0) continue;
            std::vector<std::string> cells;
            std::istringstream cellsIn(line.substr(1));
            for (std::string c; std::getline(cellsIn, c, '|');) cells.push_back(Trim(c, " "));
            if (indexColumn < 0) {
                for (std::size_t i = 0; i < cells.size(); ++i)
                    if (cells[i] == "index") indexColumn = static_cast<int>(i);
                continue;
            }
            if (cells.size() <= static_cast<std::size_t>(indexColumn) || cells[indexColumn].empty() ||
                !std::isdigit(static_cast<unsigned char>(cells[indexColumn][0])))
                continue;
            ++rows;
            if (cells.back() == "ref") byRef.push_back(std::stoi(cells[indexColumn]));
        }
        EXPECT_EQ(rows, m.Signature->ArgCount) << m.Signature->Name;
        EXPECT_EQ(byRef, m.Signature->ByRef) << m.Signature->Name;
    }
}

}  // namespace

// The error words a client compares: every kind has its own word and the
// document's "Error codes" section lists it; every code the table lists is a kind.
TEST_F(ProtocolDoc, ErrorCodesAreTheErrorKinds) {
    const std::string doc = ProtocolText();
    const std::size_t at = doc.find("### Error codes");
    ASSERT_NE(at, std::string::npos);
    const std::string section = doc.substr(at, doc.find("\n## ", at) - at);
    std::set<std::string> words;
    for (int k = 0; k <= static_cast<int>(TErrorKind::Conflito); ++k) {
        const std::string word = WireCode(static_cast<TErrorKind>(k));
        EXPECT_TRUE(words.insert(word).second) << word << " repetido";
        EXPECT_NE(section.find("`" + word + "`"), std::string::npos) << word << " ausente de docs/protocol.md";
    }
    std::istringstream lines(section);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("| `", 0) != 0) continue;
        const std::string codes = line.substr(0, line.find('|', 1));
        for (std::size_t b = codes.find('`'); b != std::string::npos; b = codes.find('`', codes.find('`', b + 1) + 1)) {
            const std::string word = codes.substr(b + 1, codes.find('`', b + 1) - b - 1);
            EXPECT_TRUE(words.count(word)) << word << " da tabela não é um TErrorKind";
        }
    }
}
