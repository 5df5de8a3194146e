// Zem_msg: a screen's message table. Every user-visible text of a screen is a
// row of key and text, looked up by key (case ignored). A key that the table
// lacks still gives a sensible Portuguese text, never an empty message: first
// a small table of texts common to the suite, then "Mensagem não encontrada:
// KEY".
#pragma once

#include "platform/data/component.h"

#include <string>
#include <utility>
#include <vector>

namespace Zem_msg {

class TMessages : public TComponent {
public:
    explicit TMessages(TComponent* owner = nullptr) : TComponent(owner) {}

    // Adds a row; a key already present keeps its first text, as a look-up
    // finds the first row.
    void Add(const std::string& key, const std::string& text);
    // Rows as a screen definition writes them: "KEY|text" per line.
    void SetLines(const std::vector<std::string>& lines);
    void Clear() { rows_.clear(); }

    std::string Msg(const std::string& key) const;
    bool Has(const std::string& key) const;
    const std::vector<std::pair<std::string, std::string>>& Rows() const { return rows_; }

    // The text a missing key yields (the suite's common texts, or the notice).
    static std::string Fallback(const std::string& key);

private:
    std::vector<std::pair<std::string, std::string>> rows_;
    const std::string* find(const std::string& key) const;
};

}  // namespace Zem_msg

using Zem_msg::TMessages;
