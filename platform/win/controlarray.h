#pragma once

// A control array: members of one kind under one name, addressed by index,
// whose events reach one handler that receives the member's index. Members
// are created at design time (create) or loaded at run time (load: a copy of
// the lowest member's properties, hidden), and unloaded by index.

#include "platform/win/control.h"

#include <functional>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

namespace platform::forms {

using IndexedMouseHandler = std::function<void(int index, int button, int shift, double x, double y)>;
using IndexedKeyHandler = std::function<void(int index, int keyCode, int shift)>;

struct IndexedEvents {
    std::function<void(int index)> click;
    std::function<void(int index)> dblClick;
    std::function<void(int index)> change;
    std::function<void(int index)> gotFocus;
    std::function<void(int index)> lostFocus;
    IndexedMouseHandler mouseDown;
    IndexedMouseHandler mouseMove;
    IndexedMouseHandler mouseUp;
    IndexedKeyHandler keyDown;
    IndexedKeyHandler keyUp;
    std::function<void(int index)> timer; // arrays of timers
};

// T is constructed as T(form, name, index, container).
template <typename T>
class ControlArray {
public:
    ControlArray(Form& form, const QString& name, Control* container = nullptr)
        : form_(form), name_(name), container_(container)
    {
    }
    ControlArray(const ControlArray&) = delete;
    ControlArray& operator=(const ControlArray&) = delete;

    const QString& name() const { return name_; }

    // A member as designed, in the array's container or in the one given;
    // nullptr when the index is negative or taken.
    T* create(int index, Control* container = nullptr)
    {
        if (index < 0 || members_.count(index))
            return nullptr;
        auto member = std::make_unique<T>(form_, name_, index, container ? container : container_);
        T* raw = member.get();
        wire(*raw, index);
        members_.emplace(index, std::move(member));
        return raw;
    }

    // Load at run time: a new member with the properties of the lowest
    // member, hidden until made visible; nullptr when the index is negative
    // or taken.
    T* load(int index)
    {
        const T* model = members_.empty() ? nullptr : members_.begin()->second.get();
        T* raw = create(index);
        if (raw && model) {
            if constexpr (std::is_base_of_v<Control, T>) {
                raw->copyPropertiesFrom(*model);
                raw->setVisible(false);
            } else {
                raw->copyPropertiesFrom(*model);
            }
        }
        return raw;
    }

    // Removes the member; false when there is none of that index.
    bool unload(int index) { return members_.erase(index) > 0; }

    bool exists(int index) const { return members_.count(index) > 0; }
    T* at(int index) const
    {
        auto it = members_.find(index);
        return it == members_.end() ? nullptr : it->second.get();
    }
    // The member of an index that must exist (std::out_of_range otherwise,
    // a fault of the caller as the old "element does not exist" error was).
    T& operator[](int index) const { return *members_.at(index); }

    int count() const { return static_cast<int>(members_.size()); }
    int lbound() const { return members_.empty() ? 0 : members_.begin()->first; }
    int ubound() const { return members_.empty() ? -1 : members_.rbegin()->first; }
    std::vector<int> indexes() const
    {
        std::vector<int> out;
        for (const auto& [i, m] : members_)
            out.push_back(i);
        return out;
    }

    IndexedEvents& events() { return events_; }

private:
    void wire(T& member, int index)
    {
        IndexedEvents* ev = &events_;
        if constexpr (std::is_base_of_v<Control, T>) {
            ControlEvents& e = member.events();
            e.click = [ev, index] { if (ev->click) ev->click(index); };
            e.dblClick = [ev, index] { if (ev->dblClick) ev->dblClick(index); };
            e.change = [ev, index] { if (ev->change) ev->change(index); };
            e.gotFocus = [ev, index] { if (ev->gotFocus) ev->gotFocus(index); };
            e.lostFocus = [ev, index] { if (ev->lostFocus) ev->lostFocus(index); };
            e.mouseDown = [ev, index](int b, int s, double x, double y) { if (ev->mouseDown) ev->mouseDown(index, b, s, x, y); };
            e.mouseMove = [ev, index](int b, int s, double x, double y) { if (ev->mouseMove) ev->mouseMove(index, b, s, x, y); };
            e.mouseUp = [ev, index](int b, int s, double x, double y) { if (ev->mouseUp) ev->mouseUp(index, b, s, x, y); };
            e.keyDown = [ev, index](int k, int s) { if (ev->keyDown) ev->keyDown(index, k, s); };
            e.keyUp = [ev, index](int k, int s) { if (ev->keyUp) ev->keyUp(index, k, s); };
        } else {
            member.onTimer = [ev, index] { if (ev->timer) ev->timer(index); };
        }
    }

    Form& form_;
    QString name_;
    Control* container_;
    std::map<int, std::unique_ptr<T>> members_;
    IndexedEvents events_;
};

} // namespace platform::forms
