#include "platform/ui/services.h"

#include "platform/data/datasource.h"
#include "platform/data/text.h"
#include "platform/ui/stdctrls.h"

#include <algorithm>

namespace {
IUiServices* installed = nullptr;

TMsgDlgBtn buttonOf(int mr) {
    switch (mr) {
    case mrYes: return mbYes;
    case mrNo: return mbNo;
    case mrCancel: return mbCancel;
    case mrAbort: return mbAbort;
    case mrRetry: return mbRetry;
    case mrIgnore: return mbIgnore;
    case mrAll: return mbAll;
    default: return mbOK;
    }
}

// No answer given: OK, or No for a question; else the least harmful button.
int defaultAnswer(TMsgDlgButtons b) {
    if (b.Contains(mbYes) && b.Contains(mbNo)) return mrNo;
    if (b.Contains(mbOK) || b.Empty()) return mrOk;
    if (b.Contains(mbCancel)) return mrCancel;
    if (b.Contains(mbNo)) return mrNo;
    return mrOk;
}

bool onlyOk(TMsgDlgButtons b) {
    return b.Empty() || (b.Contains(mbOK) && !b.Contains(mbYes) && !b.Contains(mbNo) && !b.Contains(mbCancel) &&
                         !b.Contains(mbAbort) && !b.Contains(mbRetry) && !b.Contains(mbIgnore) && !b.Contains(mbAll));
}

std::vector<std::string> splitCodes(const std::string& s) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t c = s.find(',', start);
        std::string part = Trim(s.substr(start, c == std::string::npos ? std::string::npos : c - start), kBlanks);
        if (!part.empty()) out.push_back(part);
        if (c == std::string::npos) break;
        start = c + 1;
    }
    return out;
}

// "KEY=VALUE": positions the data set; false when the key is not a field or
// no row has the value.
bool locatePick(TDataSource* ds, const std::string& pick, std::string& why) {
    TDataSet* set = ds ? ds->DataSet() : nullptr;
    if (!set || !set->Active()) {
        why = "a consulta não está aberta";
        return false;
    }
    std::size_t eq = pick.find('=');
    std::string key = Trim(pick.substr(0, eq), kBlanks), value = Trim(pick.substr(eq + 1), kBlanks);
    if (!set->FindField(key)) {
        why = "campo " + key + " inexistente";
        return false;
    }
    if (!set->Locate(key, Variant(value), TLocateOptions{loCaseInsensitive})) {
        why = key + "=" + value + " não encontrado";
        return false;
    }
    return true;
}
}  // namespace

const char* MsgDlgTypeName(TMsgDlgType t) {
    switch (t) {
    case mtWarning: return "warning";
    case mtError: return "error";
    case mtInformation: return "information";
    case mtConfirmation: return "confirmation";
    default: return "custom";
    }
}

std::string MsgDlgButtonsText(TMsgDlgButtons b) {
    static const char* names[] = {"yes", "no", "ok", "cancel", "abort", "retry", "ignore", "all"};
    std::string out;
    for (int i = mbYes; i <= mbAll; ++i)
        if (b.Contains(static_cast<TMsgDlgBtn>(i))) out += (out.empty() ? "" : ",") + std::string(names[i]);
    return out;
}

int ModalResultOfAnswer(const std::string& word) {
    std::string w = LowerCase(Trim(word, kBlanks));
    if (w == "yes" || w == "sim") return mrYes;
    if (w == "no" || w == "nao" || w == "não") return mrNo;
    if (w == "ok") return mrOk;
    if (w == "cancel" || w == "cancelar") return mrCancel;
    if (w == "abort") return mrAbort;
    if (w == "retry") return mrRetry;
    if (w == "ignore") return mrIgnore;
    if (w == "all") return mrAll;
    return 0;
}

const char* AnswerOfModalResult(int mr) {
    switch (mr) {
    case mrYes: return "yes";
    case mrNo: return "no";
    case mrOk: return "ok";
    case mrCancel: return "cancel";
    case mrAbort: return "abort";
    case mrRetry: return "retry";
    case mrIgnore: return "ignore";
    case mrAll: return "all";
    default: return "none";
    }
}

// ---------------------------------------------------------- THeadlessServices

void THeadlessServices::note(const std::string& text) {
    if (OnNote) OnNote(text);
}

int THeadlessServices::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) {
    TShownItem item;
    item.kind = TShownItem::Message;
    item.text = text;
    item.type = type;
    item.buttons = buttons;
    item.helpCtx = helpCtx;
    int result = 0;
    const bool okOnly = onlyOk(buttons);
    if (!answers_.empty() && (!okOnly || ModalResultOfAnswer(answers_.front()) == mrOk)) {
        std::string a = answers_.front();
        answers_.pop_front();
        int mr = ModalResultOfAnswer(a);
        if (mr && (buttons.Contains(buttonOf(mr)) || (buttons.Empty() && mr == mrOk))) {
            result = mr;
            item.fromQueue = true;
        } else {
            note("resposta \"" + a + "\" não oferecida pela caixa \"" + text + "\"");
        }
    }
    if (!result) {
        result = defaultAnswer(buttons);
        note("sem resposta: \"" + text + "\" -> " + AnswerOfModalResult(result));
    }
    item.answer = AnswerOfModalResult(result);
    shown_.push_back(item);
    return result;
}

void THeadlessServices::ShowError(const std::string& text) {
    TShownItem item;
    item.kind = TShownItem::Error;
    item.text = text;
    item.type = mtError;
    item.buttons = mbOK;
    item.answer = "ok";
    shown_.push_back(item);
    note("erro: \"" + text + "\"");
}

bool THeadlessServices::takePick(const std::string& what, std::string& pick) {
    if (picks_.empty()) {
        note("sem escolha: \"" + what + "\" -> cancel");
        return false;
    }
    pick = picks_.front();
    picks_.pop_front();
    if (LowerCase(Trim(pick, kBlanks)) == "cancel") return false;
    return true;
}

bool THeadlessServices::Pesquisar(TDataSource* ds, const std::string& title) {
    TShownItem item;
    item.kind = TShownItem::Lookup;
    item.text = title;
    std::string pick, why;
    bool ok = takePick(title, pick);
    if (ok && pick.find('=') == std::string::npos) {
        note("escolha \"" + pick + "\" inválida para \"" + title + "\" (use CAMPO=VALOR)");
        ok = false;
    } else if (ok && !locatePick(ds, pick, why)) {
        note("escolha \"" + pick + "\" em \"" + title + "\": " + why);
        ok = false;
    }
    item.answer = ok ? pick : "cancel";
    item.fromQueue = !pick.empty();
    shown_.push_back(item);
    return ok;
}

bool THeadlessServices::PesquisaLista(TDataSource* ds, const std::string& keyField, const std::string& title,
                                      std::string& list) {
    TShownItem item;
    item.kind = TShownItem::ListLookup;
    item.text = title;
    std::string pick;
    bool ok = takePick(title, pick);
    if (ok) {
        TDataSet* set = ds ? ds->DataSet() : nullptr;
        TField* key = set && set->Active() ? set->FindField(keyField) : nullptr;
        std::string out;
        for (const std::string& code : splitCodes(pick)) {
            // only codes the dialog would have listed
            if (key && set->Locate(keyField, Variant(code), TLocateOptions{loCaseInsensitive}))
                out += "_" + key->AsString() + "_";
            else note("código \"" + code + "\" não existe em \"" + title + "\"");
        }
        list = out;
    }
    item.answer = ok ? pick : "cancel";
    item.fromQueue = !pick.empty();
    shown_.push_back(item);
    return ok;
}

bool THeadlessServices::PesqArv(TDataSource* ds, const std::string& /*picture*/, const std::vector<std::string>& fields,
                                const std::string& title, std::string& code) {
    TShownItem item;
    item.kind = TShownItem::TreeLookup;
    item.text = title;
    std::string pick, why;
    bool ok = takePick(title, pick);
    if (ok) {
        std::string codeField = fields.empty() ? std::string() : fields.front();
        std::string locate = pick.find('=') != std::string::npos ? pick : codeField + "=" + Trim(pick, kBlanks);
        if (codeField.empty() && pick.find('=') == std::string::npos) {
            why = "campo de código não informado";
            ok = false;
        } else {
            ok = locatePick(ds, locate, why);
        }
        if (!ok) note("escolha \"" + pick + "\" em \"" + title + "\": " + why);
        if (ok) {
            TField* f = codeField.empty() ? nullptr : ds->DataSet()->FindField(codeField);
            code = f ? f->AsString() : Trim(pick.substr(pick.find('=') + 1), kBlanks);
        }
    }
    item.answer = ok ? pick : "cancel";
    item.fromQueue = !pick.empty();
    shown_.push_back(item);
    return ok;
}

void THeadlessServices::BusyActivate(int kind) {
    ++busy_;
    TShownItem item;
    item.kind = TShownItem::BusyOn;
    item.text = std::to_string(kind);
    shown_.push_back(item);
}

void THeadlessServices::BusyDeactivate() {
    if (busy_ > 0) --busy_;
    TShownItem item;
    item.kind = TShownItem::BusyOff;
    shown_.push_back(item);
}

bool THeadlessServices::HasUncheckedMessage() const {
    for (std::size_t i = checked_; i < shown_.size(); ++i)
        if (shown_[i].kind == TShownItem::Message || shown_[i].kind == TShownItem::Error) return true;
    return false;
}

bool THeadlessServices::TakeMessage(TShownItem& out) {
    for (; checked_ < shown_.size(); ++checked_) {
        const TShownItem& it = shown_[checked_];
        if (it.kind == TShownItem::Message || it.kind == TShownItem::Error) {
            out = it;
            ++checked_;
            return true;
        }
    }
    return false;
}

void THeadlessServices::Clear() {
    answers_.clear();
    picks_.clear();
    shown_.clear();
    checked_ = 0;
    busy_ = 0;
}

// ------------------------------------------------------------------ routing

THeadlessServices& HeadlessServices() {
    static THeadlessServices headless;
    return headless;
}

IUiServices& Services() { return installed ? *installed : HeadlessServices(); }

void SetServices(IUiServices* services) { installed = services; }

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) {
    return Services().MessageDlg(text, type, buttons, helpCtx);
}

void ShowMessage(const std::string& text) { Services().MessageDlg(text, mtInformation, mbOK, 0); }

void ShowError(const std::string& text) { Services().ShowError(text); }
