// Projection and unprojection through column-major matrices, as GLU does them.
#include "view/GluMath.h"

#include <gtest/gtest.h>

TEST(GluMath, UnProjectInvertsProject)
{
    double modelview[16], projection[16];
    SetIdentity(modelview);
    ApplyTranslate(modelview, 100, -2000, -30000);
    ApplyRotate(modelview, 33.0f, 1, 0, 0);
    ApplyRotate(modelview, 250.0f, 0, 1, 0);
    ApplyRotate(modelview, 10.0f, 1, 1, 0);  // a general axis
    SetIdentity(projection);
    ASSERT_TRUE(ApplyPerspective(projection, 45, 1.5, 10, 100000));
    const int viewport[4] = {10, 20, 900, 600};

    const double point[3] = {1234.5, -678.25, 4000};
    double window[3], back[3];
    ASSERT_TRUE(ProjectPoint(point[0], point[1], point[2], modelview, projection, viewport, window));
    ASSERT_TRUE(UnProjectPoint(window[0], window[1], window[2], modelview, projection, viewport, back));
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(back[i], point[i], 1e-6) << i;
}

TEST(GluMath, RefusedCallsChangeNothing)
{
    double m[16];
    SetIdentity(m);
    EXPECT_FALSE(ApplyOrtho(m, 5, 5, -1, 1, 1, 10));
    EXPECT_FALSE(ApplyPerspective(m, 30, 0, 1, 10));
    EXPECT_EQ(m[0], 1.0);

    double singular[16] = {}, inverse[16];
    EXPECT_FALSE(InvertMatrix(singular, inverse));
    const int viewport[4] = {0, 0, 100, 100};
    double window[3];
    EXPECT_FALSE(ProjectPoint(1, 2, 3, singular, singular, viewport, window)) << "w = 0";
}
