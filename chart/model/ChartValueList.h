#pragma once

#include "ChartProperty.h"

#include <functional>
#include <string>
#include <vector>

enum class TChartListOrder { loNone, loAscending, loDescending };

/// One list of numbers of a series (its X or its Y values), in point-index order.
/// Reads are the stored numbers times Multiplier; the statistics are computed on first read after a change.
class TChartValueList {
public:
    TChartValueList(std::string name, TChartListOrder order) : Name(this, std::move(name)), Order(this, order) {}
    TChartValueList(const TChartValueList&) = delete;
    TChartValueList& operator=(const TChartValueList&) = delete;

    template <class T>
    using Property = TChartProperty<T, TChartValueList>;
    Property<std::string> Name;
    /// Decides where AppendValue puts a new value.
    Property<TChartListOrder> Order;
    Property<bool> DateTime{this, false};
    /// The value AddPoint hands over before it is inserted.
    double PendingValue = 0.0;
    /// Called when a change needs the chart repainted.
    std::function<void()> OnChange;
    void PropertyChanged()
    {
        if (OnChange)
            OnChange();
    }

    int ValueCount() const { return static_cast<int>(values_.size()); }
    /// Stored value times Multiplier; throws std::out_of_range outside 0 .. count - 1.
    double ValueAt(int index) const;
    double operator[](int index) const { return ValueAt(index); }
    const std::vector<double>& Stored() const { return values_; }

    /// Inserts by the Order rule (stable for equal values) and returns the new index.
    int AppendValue(double value);
    void InsertValueAt(int index, double value);
    void SetValue(int index, double value);
    void Delete(int index);
    void RemoveAll();

    double Multiplier() const { return multiplier_; }
    void SetMultiplier(double m);

    double Lowest() const;
    double Highest() const;
    double Sum() const;
    double AbsSum() const;
    bool StatsDirty() const { return statsDirty_; }

private:
    void checkIndex(int index, int limit) const;
    void recalcStats() const;

    std::vector<double> values_;
    double multiplier_ = 1.0;
    mutable bool statsDirty_ = true;
    mutable double lowest_ = 0.0;
    mutable double highest_ = 0.0;
    mutable double sum_ = 0.0;
    mutable double absSum_ = 0.0;
};
