// The navigation share: small models whole, big ones reduced to frames near the aim, on renderers
// of very different speeds, steady under a noisy frame.
#include "view/FrameBudget.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// A renderer whose frame costs a fixed part plus a part proportional to the share drawn.
struct SRenderer {
    double fixedMs;
    double wholeModelMs;  // the proportional part of a whole frame
    double Frame(double share) const { return fixedMs + wholeModelMs * share; }
};

// The view's loop: a whole frame first, then `frames` frames while the camera moves.
double Navigate(CFrameBudget& budget, const SRenderer& renderer, int frames, double* lastMs = nullptr)
{
    budget.Record(1.0, renderer.Frame(1.0));
    double share = 1.0;
    for (int i = 0; i < frames; ++i) {
        share = budget.NavigationShare();
        const double ms = renderer.Frame(share);
        if (lastMs) *lastMs = ms;
        budget.Record(share, ms);
    }
    return share;
}

}  // namespace

TEST(FrameBudget, WholeUntilTimedAndWhenAWholeFrameIsFastEnough)
{
    struct SCase {
        double wholeMs;
        bool reduced;
    };
    const SCase cases[] = {{1.0, false}, {35.0, false}, {59.9, false}, {60.0, true}, {310.0, true}, {5000.0, true}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.wholeMs);
        CFrameBudget budget;
        EXPECT_EQ(budget.NavigationShare(), 1.0) << "nothing timed yet";
        budget.Record(1.0, c.wholeMs);
        const double share = budget.NavigationShare();
        EXPECT_EQ(share < 1.0, c.reduced);
        if (c.reduced) {
            EXPECT_NEAR(share, std::max(CFrameBudget::kAimMs / c.wholeMs, CFrameBudget::kLeastShare), 1e-12);
        }
    }
}

TEST(FrameBudget, ReducedFramesSettleNearTheAimOnAnyRenderer)
{
    struct SCase {
        const char* renderer;
        SRenderer cost;
        double atMostMs;  // what the frames settle below
    };
    const SCase cases[] = {
        {"software, a million faces", {25.0, 400.0}, CFrameBudget::kWholeFrameMs},
        {"software, ten million faces", {25.0, 4000.0}, CFrameBudget::kWholeFrameMs},
        {"no fixed cost", {0.0, 900.0}, CFrameBudget::kAimMs * 1.01},
        {"a fast GPU: always whole", {2.0, 10.0}, 12.0},
        // More fixed cost than the aim: the least share, not an empty or a whole picture.
        {"a huge window on a slow machine", {70.0, 400.0}, 72.0 + 400.0 * CFrameBudget::kLeastShare},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.renderer);
        CFrameBudget budget;
        double lastMs = 0;
        const double share = Navigate(budget, c.cost, 40, &lastMs);
        EXPECT_GE(share, CFrameBudget::kLeastShare);
        EXPECT_LE(share, 1.0);
        EXPECT_LE(lastMs, c.atMostMs);
        if (c.cost.Frame(1.0) < CFrameBudget::kWholeFrameMs) {
            EXPECT_EQ(share, 1.0);
        } else if (c.cost.fixedMs < CFrameBudget::kAimMs) {
            // Where the aim can be reached, the frames do not draw much less than they could.
            EXPECT_GE(lastMs, CFrameBudget::kAimMs * 0.9);
        }
    }
}

// One frame slowed by other work must not empty the picture, a share grown back to the whole
// model must not stick there once whole frames are slow again, and an unusable time is no time.
TEST(FrameBudget, NoisyAndStaleTimesDoNotDerailTheShare)
{
    const SRenderer renderer{20.0, 500.0};
    CFrameBudget budget;
    const double settled = Navigate(budget, renderer, 30);
    budget.Record(settled, 50 * renderer.Frame(settled));
    EXPECT_GE(budget.NavigationShare(), settled / 2 * 0.999);
    for (int i = 0; i < 10; ++i) budget.Record(budget.NavigationShare(), renderer.Frame(budget.NavigationShare()));
    EXPECT_NEAR(budget.NavigationShare(), settled, settled * 0.05);

    budget.Forget();
    EXPECT_EQ(budget.NavigationShare(), 1.0);
    budget.Record(1.0, 400.0);
    for (int i = 0; i < 20; ++i) budget.Record(budget.NavigationShare(), 1.0);  // grows back to whole
    EXPECT_EQ(budget.NavigationShare(), 1.0);
    budget.Record(1.0, 400.0);
    EXPECT_LT(budget.NavigationShare(), 0.2);
    budget.Record(0.1, std::nan(""));
    EXPECT_LT(budget.NavigationShare(), 0.2);
}
