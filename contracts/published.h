// The working members a form of the module publishes for reading by the
// front ends (the scenario driver's `expect FORM.MEMBER`) and by tests: a
// name and a getter that renders the member as text (booleans "true" /
// "false", amounts with a decimal point, dates dd/mm/yyyy). Read-only: no
// front end writes a screen's private state.
//
// Each published form also carries its instance number: the count of forms
// of its class created in this process, from 1, so that a script or a test
// tells a reused form from a new one without comparing addresses (which the
// allocator may hand out again).
//
// Everything a reader needs is inline here, so a host that loads the module
// with dlopen reads the members through dynamic_cast without linking it.
#pragma once

#include "platform/data/text.h"

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Next instance number of a form class (defined in the module).
int NextFormInstance(const std::string& classKey);

class TPublishedMembers {
public:
    using TGetter = std::function<std::string()>;

    TPublishedMembers(const TPublishedMembers&) = delete;
    TPublishedMembers& operator=(const TPublishedMembers&) = delete;

    int Instance() const { return instance_; }

    // False when the form publishes no member of that name (case ignored).
    bool ReadMember(const std::string& name, std::string& value) const {
        for (const auto& [n, get] : members_) {
            if (SameText(n, name)) {
                value = get();
                return true;
            }
        }
        return false;
    }

    std::vector<std::string> MemberNames() const {
        std::vector<std::string> names;
        for (const auto& m : members_) names.push_back(m.first);
        return names;
    }

protected:
    explicit TPublishedMembers(const std::string& classKey) : instance_(NextFormInstance(classKey)) {}
    ~TPublishedMembers() = default;

    // A later Publish of the same name replaces the getter.
    void Publish(const std::string& name, TGetter getter) {
        for (auto& m : members_) {
            if (SameText(m.first, name)) {
                m.second = std::move(getter);
                return;
            }
        }
        members_.emplace_back(name, std::move(getter));
    }
    void PublishBool(const std::string& name, const bool* member) {
        Publish(name, [member] { return std::string(*member ? "true" : "false"); });
    }
    void PublishText(const std::string& name, const std::string* member) {
        Publish(name, [member] { return *member; });
    }

private:
    int instance_;
    std::vector<std::pair<std::string, TGetter>> members_;
};
