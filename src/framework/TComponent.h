#pragma once

#include "framework/TObject.h"

#include <memory>
#include <string>
#include <vector>

enum class TOperation { opInsert, opRemove };

// A named part of a form. A component owns the components created with it as owner and frees them
// with itself; other components that refer to it ask for a free notification and are told when it
// goes, so that no reference outlives its target.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }
    TComponent* Owner() const { return m_owner; }
    const std::vector<TComponent*>& Components() const { return m_components; }
    TComponent* FindComponent(const std::string& name) const;

    // Creates a component owned by this one.
    template<typename T, typename... Args>
    T* Create(const std::string& name, Args&&... args)
    {
        auto component = std::make_unique<T>(this, std::forward<Args>(args)...);
        T* raw = component.get();
        raw->SetName(name);
        Adopt(std::move(component));
        return raw;
    }
    void Adopt(std::unique_ptr<TComponent> component);
    // Frees an owned component at once.
    void DestroyComponent(TComponent* component);

    // Asks to be told (through Notification) when `other` is destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);
    bool Destroying() const { return m_destroying; }

protected:
    virtual void Notification(TComponent* component, TOperation operation);
    // Frees the owned components now, before a derived destructor tears down what they refer to.
    void DestroyComponents();

private:
    std::string m_name;
    TComponent* m_owner { nullptr };
    std::vector<TComponent*> m_components; // in creation order
    std::vector<std::unique_ptr<TComponent>> m_owned;
    std::vector<TComponent*> m_notify; // told when this goes, and tell this when they go
    bool m_destroying { false };
};
