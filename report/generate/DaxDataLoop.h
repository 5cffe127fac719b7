// The steps the page's data loop and a sub data band's share (private to report/generate).
#pragma once

#include "report/DaxDataSet.h"

// After a record was reached: the after-skip event when the filter accepts it, else the
// next record. Nothing once the data has finished.
template <class Accepted, class After, class Skip>
void AcceptOrSkip(bool finished, Accepted accepted, After after, Skip skip)
{
    if (finished) return;
    if (accepted())
        after();
    else
        skip();
}

// Moves the dataset on past the records the filter rejects, counting each move; true when
// it ran out.
template <class Accepted>
bool NextAccepted(TDaxDataSet& ds, Accepted accepted, int& moves)
{
    do {
        ds.Next();
        ++moves;
    } while (!ds.Eof() && !accepted());
    return ds.Eof();
}
