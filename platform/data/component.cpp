#include "platform/data/component.h"

#include "platform/data/text.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner_) owner_->owned_.push_back(this);
}

TComponent::~TComponent() {
    while (!owned_.empty()) {
        TComponent* c = owned_.back();
        c->owner_ = nullptr;
        owned_.pop_back();
        delete c;
    }
    if (owner_) owner_->remove(this);
}

void TComponent::remove(TComponent* c) { owned_.erase(std::remove(owned_.begin(), owned_.end(), c), owned_.end()); }

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (TComponent* c : owned_)
        if (SameText(c->Name, name)) return c;
    return nullptr;
}
