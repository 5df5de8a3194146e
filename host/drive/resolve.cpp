#include "host/drive/resolve.h"

#include "host/drive/readout.h"
#include "platform/ui/forms.h"

#include <algorithm>

namespace drive {

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t dot = path.find('.', start);
        parts.push_back(path.substr(start, dot == std::string::npos ? dot : dot - start));
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return parts;
}

std::vector<TForm*> FormsInLookupOrder() {
    std::vector<TForm*> order;
    auto add = [&order](TForm* f) {
        if (f && std::find(order.begin(), order.end(), f) == order.end()) order.push_back(f);
    };
    add(Application->TopModal());
    add(Application->ActiveForm());
    for (int i = Application->FormCount() - 1; i >= 0; --i)
        if (Application->Forms(i)->Visible) add(Application->Forms(i));
    for (int i = Application->FormCount() - 1; i >= 0; --i) add(Application->Forms(i));
    return order;
}

TForm* FindForm(const std::string& name) {
    for (TForm* f : FormsInLookupOrder())
        if (SameText(f->Name, name)) return f;
    return nullptr;
}

TComponent* FindOwned(const TComponent* root, const std::string& name) {
    for (int i = 0; i < root->ComponentCount(); ++i) {
        TComponent* c = root->Components(i);
        if (SameText(c->Name, name)) return c;
    }
    for (int i = 0; i < root->ComponentCount(); ++i)
        if (TComponent* c = FindOwned(root->Components(i), name)) return c;
    return nullptr;
}

namespace {

TComponent* FindUnqualified(const std::string& name) {
    for (TForm* f : FormsInLookupOrder())
        if (TComponent* c = FindOwned(f, name)) return c;
    return FindForm(name);
}

}  // namespace

TComponent* ResolveComponent(const std::string& path, std::string& error) {
    std::vector<std::string> parts = SplitPath(path);
    if (parts.size() > 2 || std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return p.empty(); })) {
        error = "um nome é NOME ou FORMULÁRIO.NOME: " + path;
        return nullptr;
    }
    if (parts.size() == 2) {
        TForm* form = FindForm(parts[0]);
        if (!form) {
            error = "nenhum formulário aberto se chama " + parts[0];
            return nullptr;
        }
        TComponent* c = FindOwned(form, parts[1]);
        if (!c) error = form->Name + " não tem " + parts[1];
        return c;
    }
    TComponent* c = FindUnqualified(path);
    if (!c) error = "nenhum componente ou formulário aberto se chama " + path;
    return c;
}

PropertyTarget ResolveProperty(const std::string& path) {
    PropertyTarget t;
    std::vector<std::string> parts = SplitPath(path);
    if (parts.size() < 2 || std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return p.empty(); })) {
        t.error = "esperado NOME.PROPRIEDADE: " + path;
        return t;
    }
    if (SameText(parts[0], "Application") || SameText(parts[0], "Screen")) {
        t.root = SameText(parts[0], "Application") ? "Application" : "Screen";
        t.property.assign(parts.begin() + 1, parts.end());
        return t;
    }
    std::size_t used = 1;
    if (TForm* form = FindForm(parts[0])) {
        // FORM.NAME.PROP... when NAME is one of its components, else FORM.PROP.
        TComponent* inner = parts.size() > 2 ? FindOwned(form, parts[1]) : nullptr;
        t.component = inner ? inner : form;
        used = inner ? 2 : 1;
    } else {
        t.component = FindUnqualified(parts[0]);
    }
    if (!t.component) {
        t.error = "nenhum componente ou formulário aberto se chama " + parts[0];
        return t;
    }
    t.property.assign(parts.begin() + static_cast<long>(used), parts.end());
    return t;
}

}  // namespace drive
