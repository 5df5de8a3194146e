#include "platform/db/sqlbind.h"

void BindSqlValue(soci::details::prepare_temp_type& pt, TSqlHolder& h, const Variant* v, const std::string& name) {
    if (!v || v->IsNull()) {
        h.ind = soci::i_null;
        pt, soci::use(h.text, h.ind, name);
        return;
    }
    switch (v->kind()) {
    case Variant::Kind::Integer:
        h.integer = v->AsInteger();
        pt, soci::use(h.integer, h.ind, name);
        break;
    case Variant::Kind::Boolean:
        h.integer = v->AsBoolean() ? 1 : 0;
        pt, soci::use(h.integer, h.ind, name);
        break;
    case Variant::Kind::Float:
        h.number = v->AsFloat();
        pt, soci::use(h.number, h.ind, name);
        break;
    default:
        h.text = v->AsString();
        pt, soci::use(h.text, h.ind, name);
        break;
    }
}
