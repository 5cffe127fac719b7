#include "RpxAlign.h"

#include <algorithm>
#include <climits>

void TRpxAlign::Modified()
{
    if (Designer && !Controls.empty()) Designer->Modified();
}

void TRpxAlign::AlignLefts()
{
    if (Controls.size() >= 2)
        for (size_t i = 1; i < Controls.size(); ++i) Controls[i]->Left = Controls[0]->Left;
    Modified();
}

void TRpxAlign::AlignRights()
{
    if (Controls.size() >= 2) {
        const TDaxLabel& first = *Controls[0];
        for (size_t i = 1; i < Controls.size(); ++i)
            Controls[i]->Left = first.Left + first.Width - Controls[i]->Width;
    }
    Modified();
}

void TRpxAlign::AlignCenters()
{
    if (Controls.size() >= 2) {
        const TDaxLabel& first = *Controls[0];
        for (size_t i = 1; i < Controls.size(); ++i)
            Controls[i]->Left = first.Left + first.Width / 2 - Controls[i]->Width / 2;
    }
    Modified();
}

void TRpxAlign::CenterAtX(int x)
{
    if (Controls.size() == 1) {
        Controls[0]->Left = x - Controls[0]->Width / 2;
    } else if (Controls.size() > 1) {
        std::vector<TDaxLabel*> rest = Controls;
        while (!rest.empty()) {
            TDaxComponent* parent = rest.front()->Parent();
            std::vector<TDaxLabel*> group;
            std::erase_if(rest, [&](TDaxLabel* c) {
                if (c->Parent() != parent) return false;
                group.push_back(c);
                return true;
            });
            int left = INT_MAX, right = INT_MIN;
            for (const TDaxLabel* c : group) {
                left = std::min(left, c->Left);
                right = std::max(right, c->Left + c->Width);
            }
            const int shift = x - (left + right) / 2;
            for (TDaxLabel* c : group) c->Left += shift;
        }
    }
    Modified();
}

TRpxAlign& RpxAlign()
{
    static TRpxAlign align;
    return align;
}
