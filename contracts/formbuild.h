// Small helpers the base forms use to build their component trees.
#pragma once

#include "platform/ui/controls.h"

namespace FormBuild {

// A control named `name`, owned by owner and sitting in parent.
template <class T> T* Control(TComponent* owner, TWinControl* parent, const char* name, TAlign align = alNone) {
    T* c = new T(owner);
    c->Name = name;
    c->Align = align;
    if (parent) c->SetParent(parent);
    return c;
}

// A component without a place on screen (data source, message table, menu).
template <class T> T* Component(TComponent* owner, const char* name) {
    T* c = new T(owner);
    c->Name = name;
    return c;
}

// Called first by a base form's destructor: the form's data sources stop
// notifying, so a data set destroyed after them cannot run a screen's state
// or data handler on a form that is half destroyed.
void SilenceDataSources(TComponent* owner);

}  // namespace FormBuild
