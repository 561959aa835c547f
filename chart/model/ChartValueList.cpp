#include "ChartValueList.h"

#include <cmath>
#include <stdexcept>

void TChartValueList::checkIndex(int index, int limit) const
{
    if (index < 0 || index > limit)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

double TChartValueList::ValueAt(int index) const
{
    checkIndex(index, ValueCount() - 1);
    return values_[static_cast<std::size_t>(index)] * multiplier_;
}

int TChartValueList::AppendValue(double value)
{
    statsDirty_ = true;
    const int n = ValueCount();
    const bool ascending = Order == TChartListOrder::loAscending;
    if (Order == TChartListOrder::loNone || n == 0 || (ascending && !(value < values_.back())) ||
        (!ascending && !(value > values_.back()))) {
        values_.push_back(value);
        return n;
    }
    // Walk back to the last value that may stay before the new one, so equal values keep their arrival order.
    int i = n - 1;
    while (i >= 0 && (ascending ? !(values_[static_cast<std::size_t>(i)] <= value)
                                : !(values_[static_cast<std::size_t>(i)] >= value)))
        --i;
    values_.insert(values_.begin() + (i + 1), value);
    return i + 1;
}

void TChartValueList::InsertValueAt(int index, double value)
{
    checkIndex(index, ValueCount());
    values_.insert(values_.begin() + index, value);
    statsDirty_ = true;
}

void TChartValueList::SetValue(int index, double value)
{
    checkIndex(index, ValueCount() - 1);
    values_[static_cast<std::size_t>(index)] = value;
    statsDirty_ = true;
}

void TChartValueList::Delete(int index)
{
    checkIndex(index, ValueCount() - 1);
    values_.erase(values_.begin() + index);
    statsDirty_ = true;
}

void TChartValueList::RemoveAll()
{
    values_.clear();
    statsDirty_ = true;
}

void TChartValueList::SetMultiplier(double m)
{
    if (m == multiplier_)
        return;
    multiplier_ = m;
    statsDirty_ = true;
    if (OnChange)
        OnChange();
}

void TChartValueList::recalcStats() const
{
    if (!statsDirty_)
        return;
    if (values_.empty()) {
        lowest_ = highest_ = sum_ = absSum_ = 0.0;
    } else {
        const double f = values_.front() * multiplier_;
        lowest_ = highest_ = sum_ = f;
        absSum_ = std::fabs(f);
        for (std::size_t i = 1; i < values_.size(); ++i) {
            const double w = values_[i] * multiplier_;
            if (w < lowest_)
                lowest_ = w;
            else if (w > highest_)
                highest_ = w;
            sum_ += w;
            absSum_ += std::fabs(w);
        }
    }
    statsDirty_ = false;
}

double TChartValueList::Lowest() const
{
    recalcStats();
    return lowest_;
}

double TChartValueList::Highest() const
{
    recalcStats();
    return highest_;
}

double TChartValueList::Sum() const
{
    recalcStats();
    return sum_;
}

double TChartValueList::AbsSum() const
{
    recalcStats();
    return absSum_;
}
