// The navigation share: a whole frame's time gives the first guess, each reduced frame's time
// corrects it toward the aim.
#include "view/FrameBudget.h"

#include <algorithm>

namespace {

double Clamped(double share) { return std::clamp(share, CFrameBudget::kLeastShare, 1.0); }

}  // namespace

double CFrameBudget::NavigationShare() const
{
    if (m_wholeMs < 0 || m_wholeMs < kWholeFrameMs) return 1.0;
    return m_share;
}

void CFrameBudget::Record(double share, double milliseconds)
{
    if (!(milliseconds >= 0)) return;
    if (share >= 1.0) {
        m_wholeMs = milliseconds;
        // The first guess takes the time as proportional to the faces drawn. A share grown
        // back to the whole model that turns out too slow starts again from that guess.
        if (!m_tuned || m_share >= 1.0) m_share = Clamped(kAimMs / std::max(milliseconds, 1e-3));
        return;
    }
    // A frame also has costs that do not shrink with the faces (clearing, the grid), so the
    // proportional step overshoots a little; at most halving or doubling per frame keeps one
    // frame slowed by other work on the machine from emptying the picture.
    const double factor = std::clamp(kAimMs / std::max(milliseconds, 1e-3), 0.5, 2.0);
    m_share = Clamped(share * factor);
    m_tuned = true;
}
