#pragma once

#include <utility>

/// A property of a chart part: it reads like its value, and a write that changes the value calls
/// `Owner::PropertyChanged`, which ends in a repaint request of the chart.
template <class T, class Owner>
class TChartProperty {
public:
    TChartProperty(Owner* owner, T value) : owner_(owner), value_(std::move(value)) {}
    TChartProperty(const TChartProperty&) = delete;
    /// Copies the value only (chained writes such as `a = b = 0`); the owner stays.
    TChartProperty& operator=(const TChartProperty& other) { return *this = other.value_; }
    TChartProperty& operator=(const T& value)
    {
        if (!(value == value_)) {
            value_ = value;
            owner_->PropertyChanged();
        }
        return *this;
    }

    operator const T&() const { return value_; }
    const T& operator()() const { return value_; }
    const T* operator->() const { return &value_; }
    friend bool operator==(const TChartProperty& a, const T& b) { return a.value_ == b; }

    /// Changes part of a compound value (a pen's colour, a font's size) as one write.
    template <class Change>
    void Modify(Change change)
    {
        T v = value_;
        change(v);
        *this = v;
    }

private:
    Owner* owner_;
    T value_;
};
