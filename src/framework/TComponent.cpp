#include "framework/TComponent.h"

#include <algorithm>
#include <utility>

TComponent::TComponent(TComponent*)
{
    // The owner adopts the component in Create or Adopt.
}

TComponent::~TComponent()
{
    m_destroying = true;
    DestroyComponents();
    for (TComponent* other : std::exchange(m_notify, {})) {
        std::erase(other->m_notify, this);
        other->Notification(this, TOperation::opRemove);
    }
}

void TComponent::DestroyComponents()
{
    // Newest first, so that later components that refer to earlier ones go before them.
    while (!m_owned.empty()) {
        std::unique_ptr<TComponent> last = std::move(m_owned.back());
        m_owned.pop_back();
        std::erase(m_components, last.get());
        last.reset();
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    for (TComponent* component : m_components)
        if (component->m_name == name)
            return component;
    return nullptr;
}

void TComponent::Adopt(std::unique_ptr<TComponent> component)
{
    component->m_owner = this;
    m_components.push_back(component.get());
    m_owned.push_back(std::move(component));
}

void TComponent::DestroyComponent(TComponent* component)
{
    auto it = std::find_if(m_owned.begin(), m_owned.end(), [&](auto& owned) { return owned.get() == component; });
    if (it == m_owned.end())
        return;
    std::unique_ptr<TComponent> doomed = std::move(*it);
    m_owned.erase(it);
    std::erase(m_components, component);
    doomed.reset();
}

void TComponent::FreeNotification(TComponent* other)
{
    if (!other || other == this)
        return;
    if (std::find(m_notify.begin(), m_notify.end(), other) == m_notify.end())
        m_notify.push_back(other);
    if (std::find(other->m_notify.begin(), other->m_notify.end(), this) == other->m_notify.end())
        other->m_notify.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* other)
{
    if (!other)
        return;
    std::erase(m_notify, other);
    std::erase(other->m_notify, this);
}

void TComponent::Notification(TComponent*, TOperation)
{
}
