#pragma once
// The root of the form, its controls and the application object: something
// with a name that can be the sender of an event.
#include <functional>
#include <string>

class TComponent {
public:
    explicit TComponent(std::wstring name = {}) : name_(std::move(name)) {}
    virtual ~TComponent() = default;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    const std::wstring& Name() const { return name_; }

private:
    std::wstring name_;
};

using TNotifyEvent = std::function<void(TComponent* sender)>;
