// Shared set-up of the contracts tests: a clean application, headless
// services with empty queues, and a small company table.
#pragma once

#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/ui/forms.h"
#include "platform/ui/services.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetServices(nullptr);
        HeadlessServices().Clear();
    }
    void TearDown() override {
        Application->Reset();
        HeadlessServices().Clear();
    }
    THeadlessServices& ui() { return HeadlessServices(); }

    // Texts of the boxes shown so far, "kind:text" each, joined by " / ".
    std::string shown() const {
        std::string out;
        for (const TShownItem& s : HeadlessServices().Shown()) {
            if (!out.empty()) out += " / ";
            switch (s.kind) {
            case TShownItem::Message: out += "msg:"; break;
            case TShownItem::Error: out += "erro:"; break;
            case TShownItem::Lookup: out += "pesq:"; break;
            case TShownItem::ListLookup: out += "lista:"; break;
            case TShownItem::TreeLookup: out += "arvore:"; break;
            case TShownItem::BusyOn: out += "busy+"; break;
            case TShownItem::BusyOff: out += "busy-"; break;
            }
            out += s.text;
        }
        return out;
    }
};

// A company table: CDEMPRESA, NMEMPRESA with the given rows, open in browse.
inline TClientDataSet* companies(TComponent* owner, const std::vector<std::pair<std::string, std::string>>& rows) {
    auto* cds = new TClientDataSet(owner);
    cds->Name = "cdsEmpresa";
    cds->AddField("CDEMPRESA", TFieldType::ftString, 2);
    cds->AddField("NMEMPRESA", TFieldType::ftString, 40);
    cds->CreateDataSet();
    for (const auto& [code, name] : rows) {
        cds->Append();
        cds->FieldByName("CDEMPRESA")->SetAsString(code);
        cds->FieldByName("NMEMPRESA")->SetAsString(name);
        cds->Post();
    }
    cds->First();
    return cds;
}
