#include "platform/net/session_token.h"

#include "platform/data/text.h"
#include "platform/net/rpcvalue.h"

#include <cstdio>
#include <fstream>
#include <random>

std::string ReadTokenFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ERpcError(TErrorKind::Acesso, "Não foi possível ler o arquivo de chave de acesso \"" + path + "\".");
    std::string line;
    std::getline(in, line);
    const std::string token = Trim(line);
    if (token.size() < kMinTokenLength)
        throw ERpcError(TErrorKind::Acesso, "O arquivo de chave de acesso \"" + path +
                                                "\" deve ter na primeira linha uma chave de ao menos " +
                                                std::to_string(kMinTokenLength) + " caracteres.");
    return token;
}

bool SameToken(const std::string& a, const std::string& b) {
    unsigned char diff = a.size() == b.size() ? 0 : 1;
    const std::string& longer = a.size() >= b.size() ? a : b;
    for (std::size_t i = 0; i < longer.size(); ++i) {
        const unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
        const unsigned char y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
        diff |= static_cast<unsigned char>(x ^ y);
    }
    return diff == 0;
}

std::string NewSessionId() {
    std::random_device random;
    std::string id;
    for (int i = 0; i < 4; ++i) {
        char part[16];
        std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(random()));
        id += part;
    }
    return id;
}
