// Names and owners. Every form, control, data set, data source and query is a
// component: it has a Name, an Owner that destroys it, and can find the
// components it owns by name (case-insensitive, as the screens name them).
#pragma once

#include <memory>
#include <string>
#include <vector>

class TComponent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    virtual ~TComponent();
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    std::string Name;
    int Tag = 0;

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(owned_.size()); }
    TComponent* Components(int i) const { return owned_[i]; }
    TComponent* FindComponent(const std::string& name) const;

    // Typed look-up: nullptr when absent or of another type.
    template <class T> T* Find(const std::string& name) const { return dynamic_cast<T*>(FindComponent(name)); }

    // Creates a component owned by this one.
    template <class T, class... A> T* Create(A&&... args) { return new T(this, std::forward<A>(args)...); }

private:
    TComponent* owner_;
    std::vector<TComponent*> owned_;  // destroyed in reverse order of creation
    void remove(TComponent* c);
};
