// Opening a session with the application server: the AbrirSessao call a
// client makes first on each connection, and the shared secret a server that
// listens beyond loopback requires in it (a token file named on both sides:
// the server's --token-file, the client's CTB_SERVER_TOKEN_FILE).
//
//   AbrirSessao(token, sessao, operador) -> true
//     token     the file's token, "" when the client has none
//     sessao    an id the client keeps across its reconnections ("" none)
//     operador  the bookkeeper the client works for ("" unknown)
#pragma once

#include <string>

inline constexpr const char* kOpenSessionMethod = "AbrirSessao";

// Shortest token accepted: a guessable secret would protect nothing.
inline constexpr std::size_t kMinTokenLength = 16;

// The first line of the file without surrounding blanks. Throws ERpcError
// "acesso" with a Portuguese message when the file cannot be read or its
// token is shorter than kMinTokenLength.
std::string ReadTokenFile(const std::string& path);

// Compares two tokens in a time that does not depend on where they differ.
bool SameToken(const std::string& a, const std::string& b);

// A fresh random session id (32 hexadecimal digits).
std::string NewSessionId();
