// Shared set-up of the data tests: a small line data set shaped like the
// entry lines, and a rendering of a data set's view to one string.
#pragma once

#include "platform/data/dataset.h"

#include <string>
#include <vector>

struct LineRow {
    std::string empresa, lanc, seq;
    double valor;
};

inline void DefineLineFields(TDataSet& ds) {
    ds.AddField("CDEMPRESA", TFieldType::ftString, 2);
    ds.AddField("NRLANCCONT", TFieldType::ftString, 12);
    ds.AddField("NRSEQLANC", TFieldType::ftString, 5);
    ds.AddField("CDCONTCTBL", TFieldType::ftString, 20);
    ds.AddField("VRLANCAMENT", TFieldType::ftFloat);
    ds.AddField("DTLANCCONT", TFieldType::ftDateTime);
}

inline TDataPacket LinePacket(const std::vector<LineRow>& rows) {
    TDataPacket p({{"CDEMPRESA", TFieldType::ftString, 2},
                   {"NRLANCCONT", TFieldType::ftString, 12},
                   {"NRSEQLANC", TFieldType::ftString, 5},
                   {"CDCONTCTBL", TFieldType::ftString, 20},
                   {"VRLANCAMENT", TFieldType::ftFloat, 0},
                   {"DTLANCCONT", TFieldType::ftDateTime, 0}});
    for (const LineRow& r : rows) p.AppendRow({r.empresa, r.lanc, r.seq, std::string("1110100001"), r.valor, 45000.0});
    return p;
}

// "seq:valor" of every record of the view, in order, e.g. "00001:100 00002:-100".
inline std::string Render(TDataSet& ds, const char* keyField = "NRSEQLANC", const char* valueField = "VRLANCAMENT") {
    std::string out;
    TField* k = ds.FieldByName(keyField);
    TField* v = ds.FieldByName(valueField);
    for (int i = 0; i < ds.RecordCount(); ++i) {
        if (!out.empty()) out += ' ';
        out += ds.ValueAt(i, k).AsString() + ":" + ds.ValueAt(i, v).AsString();
    }
    return out;
}

// "seq:valor" of every record of a packet, in order.
inline std::string RenderPacket(const TDataPacket& p) {
    std::string out;
    const int k = p.FieldIndex("NRSEQLANC"), v = p.FieldIndex("VRLANCAMENT");
    for (std::size_t i = 0; i < p.RecordCount(); ++i) {
        if (!out.empty()) out += ' ';
        out += p.Value(i, static_cast<std::size_t>(k)).AsString() + ":" +
               p.Value(i, static_cast<std::size_t>(v)).AsString();
    }
    return out;
}
