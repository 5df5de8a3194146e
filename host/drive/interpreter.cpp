#include "host/drive/interpreter.h"

#include "host/drive/actions.h"
#include "host/drive/compare.h"
#include "host/drive/readout.h"
#include "host/drive/resolve.h"
#include "platform/ui/dispatch.h"
#include "platform/ui/forms.h"
#include "platform/ui/grid.h"
#include "platform/ui/services.h"

#include <chrono>
#include <cstdio>

namespace drive {
namespace {

const char* AnswerWord(Answer a) {
    switch (a) {
    case Answer::Yes: return "yes";
    case Answer::No: return "no";
    case Answer::Ok: return "ok";
    case Answer::Cancel: return "cancel";
    }
    return "ok";
}

std::string CursorName(int cursor) {
    switch (cursor) {
    case crDefault: return "crDefault";
    case crHourGlass: return "crHourGlass";
    case crArrow: return "crArrow";
    case crSQLWait: return "crSQLWait";
    }
    return std::to_string(cursor);
}

Reading ReadRoot(const std::string& root, const std::vector<std::string>& p) {
    if (p.size() != 1) return Reading::Error("propriedade desconhecida de " + root);
    if (root == "Screen") {
        if (SameText(p[0], "Cursor")) return Reading::Value(CursorName(Screen->Cursor));
        if (SameText(p[0], "ActiveControl"))
            return Reading::Value(Screen->ActiveControl() ? Screen->ActiveControl()->Name : "");
        if (SameText(p[0], "ActiveForm")) return Reading::Value(Screen->ActiveForm() ? Screen->ActiveForm()->Name : "");
        return Reading::Error("Screen não tem a propriedade " + p[0]);
    }
    if (SameText(p[0], "FormCount")) return Reading::Value(std::to_string(Application->FormCount()));
    if (SameText(p[0], "Forms")) {
        std::string names;
        for (int i = 0; i < Application->FormCount(); ++i) names += (i ? "," : "") + Application->Forms(i)->Name;
        return Reading::Value(names);
    }
    if (SameText(p[0], "ModalForm"))
        return Reading::Value(Application->TopModal() ? Application->TopModal()->Name : "");
    return Reading::Error("Application não tem a propriedade " + p[0]);
}

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

Interpreter::Interpreter(std::function<void()> openModule) : open_(std::move(openModule)) {
    HeadlessServices().OnNote = [this](const std::string& note) {
        std::printf("%s:%d: %s\n", script_ ? script_->file.c_str() : "-", line_, note.c_str());
        std::fflush(stdout);
    };
    Application->Pump = [this] { return Step(); };
}

Interpreter::~Interpreter() {
    HeadlessServices().OnNote = nullptr;
    Application->Pump = nullptr;
}

void Interpreter::Run(const Script& script) {
    const Script* outer = script_;
    std::size_t outerNext = next_;
    script_ = &script;
    next_ = 0;
    for (const ParseError& e : script.errors) fail(e.line, "", "linha ilegível: " + e.message);
    while (Step()) {}
    script_ = outer;
    next_ = outerNext;
}

bool Interpreter::Step() {
    if (!script_ || next_ >= script_->commands.size()) return false;
    const Command& c = script_->commands[next_++];
    int outerLine = line_;
    line_ = c.line;
    auto start = std::chrono::steady_clock::now();
    std::string why;
    try {
        why = execute(c);
    } catch (const EAbort&) {
        why = "abandonado (EAbort fora de uma ação do usuário)";
    } catch (const std::exception& e) {
        why = std::string("erro: ") + e.what();
    }
    if (timings) {
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        std::printf("%s:%d: tempo %.3f ms  %s\n", script_->file.c_str(), c.line, ms, c.source.c_str());
    }
    if (why.empty()) ++passed_;
    else fail(c.line, c.source, why);
    line_ = outerLine;
    std::fflush(stdout);
    return true;
}

void Interpreter::fail(int line, const std::string& source, const std::string& why) {
    ++failed_;
    std::printf("%s:%d: FALHOU: %s%s%s\n", script_ ? script_->file.c_str() : "-", line, source.c_str(),
                source.empty() ? "" : " -- ", why.c_str());
}

std::string Interpreter::execute(const Command& c) {
    switch (c.verb) {
    case Verb::Open: Dispatch(open_); return {};
    case Verb::Answer: HeadlessServices().QueueAnswer(AnswerWord(c.answer)); return {};
    case Verb::Pick: HeadlessServices().QueuePick(c.text); return {};
    case Verb::ExpectProp:
    case Verb::ExpectMessage:
    case Verb::ExpectNoMessage:
    case Verb::ExpectFocus:
    case Verb::ExpectLookup: return executeExpect(c);
    case Verb::GridCol:
    case Verb::GridRow:
    case Verb::GridCell:
    case Verb::GridButton: return executeGrid(c);
    default: return executeAction(c);
    }
}

std::string Interpreter::executeAction(const Command& c) {
    std::string error;
    TComponent* target = ResolveComponent(c.target, error);
    if (!target) return error;
    switch (c.verb) {
    case Verb::Focus: return FocusControl(target);
    case Verb::Type: return TypeText(target, c.text);
    case Verb::Set: return SetText(target, c.text);
    case Verb::Key: return PressKey(target, c.text);
    case Verb::Click: return ClickControl(target);
    case Verb::DblClick: return DblClickControl(target);
    case Verb::Close: return CloseForm(target);
    case Verb::Dump:
        std::printf("%s:%d: dump %s\n%s", script_->file.c_str(), c.line, c.target.c_str(), Dump(target).c_str());
        return {};
    default: return "não é uma ação";
    }
}

std::string Interpreter::executeGrid(const Command& c) {
    std::string error;
    TComponent* target = ResolveComponent(c.target, error);
    if (!target) return error;
    auto* g = dynamic_cast<TDBGrid*>(target);
    if (!g) return c.target + " não é uma grade";
    switch (c.verb) {
    case Verb::GridCol: return GridSelectColumn(g, c.field);
    case Verb::GridRow: return GridMoveToRow(g, c.row);
    case Verb::GridCell: return GridTypeCell(g, c.field, c.text);
    case Verb::GridButton: return GridEditButton(g);
    default: return "não é uma ação de grade";
    }
}

std::string Interpreter::executeExpect(const Command& c) {
    THeadlessServices& services = HeadlessServices();
    if (c.verb == Verb::ExpectMessage) {
        TShownItem item;
        if (!services.TakeMessage(item)) return "nenhuma caixa de mensagem a conferir (esperada " + Quote(c.text) + ")";
        if (!ExpectedMatches(item.text, c.text) && !GlobMatches(item.text, c.text))
            return "a mensagem foi " + Quote(item.text);
        return {};
    }
    if (c.verb == Verb::ExpectNoMessage) {
        std::string shown;
        TShownItem item;
        while (services.TakeMessage(item)) shown += (shown.empty() ? "" : ", ") + Quote(item.text);
        return shown.empty() ? std::string() : "caixa(s) de mensagem não conferida(s): " + shown;
    }
    if (c.verb == Verb::ExpectLookup) {
        const std::vector<TShownItem>& shown = services.Shown();
        for (auto it = shown.rbegin(); it != shown.rend(); ++it)
            if (it->kind == TShownItem::Lookup || it->kind == TShownItem::ListLookup ||
                it->kind == TShownItem::TreeLookup)
                return ExpectedMatches(it->text, c.text) ? std::string() : "a última pesquisa foi " + Quote(it->text);
        return "nenhuma pesquisa foi mostrada (esperada " + Quote(c.text) + ")";
    }
    if (c.verb == Verb::ExpectFocus) {
        std::string error;
        TComponent* target = ResolveComponent(c.target, error);
        if (!target) return error;
        TWinControl* focused = Screen->ActiveControl();
        if (focused == target) return {};
        return "o foco está em " + (focused ? focused->Name : std::string("nenhum controle"));
    }
    PropertyTarget t = ResolveProperty(c.target);
    if (!t.error.empty()) return t.error;
    Reading r = t.component ? ReadProperty(t.component, t.property) : ReadRoot(t.root, t.property);
    if (!r.ok) return r.error;
    if (!ExpectedMatches(r.value, c.text)) return "esperado " + Quote(c.text) + ", encontrado " + Quote(r.value);
    return {};
}

}  // namespace drive
