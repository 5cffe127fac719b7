// Design-time tools of the report engine (report/design): the services of the form designer
// that the tools call. No report designer ships; a form designer implements this interface,
// and TDaxRecordingDesigner stands in for one where the tools run on their own.
#pragma once

#include "report/DaxComponent.h"

#include <vector>

class TDaxDesigner {
public:
    virtual ~TDaxDesigner() = default;
    // The form being designed changed (its components moved, appeared or went).
    virtual void Modified() = 0;
    // The components the designer shows as selected.
    virtual std::vector<TDaxComponent*> Selection() const = 0;
    virtual void Select(const std::vector<TDaxComponent*>& components) = 0;
};

// Keeps the selection it is given and counts the modifications it is told of.
class TDaxRecordingDesigner : public TDaxDesigner {
public:
    void Modified() override { ++ModifiedCount; }
    std::vector<TDaxComponent*> Selection() const override { return selection_; }
    void Select(const std::vector<TDaxComponent*>& components) override { selection_ = components; }

    int ModifiedCount = 0;

private:
    std::vector<TDaxComponent*> selection_;
};

// A list of components that the tools hand around; it does not own the components.
class TComponentList {
public:
    // Appends c and gives its index.
    int Add(TDaxComponent* c)
    {
        items_.push_back(c);
        return static_cast<int>(items_.size()) - 1;
    }
    int Count() const { return static_cast<int>(items_.size()); }
    TDaxComponent* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    void Clear() { items_.clear(); }

private:
    std::vector<TDaxComponent*> items_;
};
