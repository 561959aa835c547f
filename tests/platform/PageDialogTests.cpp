// The page dialog of the import, without running it.
#include "PageDialog.h"

#include <QSpinBox>

#include <gtest/gtest.h>

TEST(PageDialog, OffersEveryPageAndClampsTheResolutionToEachPagesLimit)
{
    platform::PageRequest request;
    request.pageCount = 3;
    request.askResolution = true;
    request.maxDpi = {600, 150, 600};
    platform::PageDialog dialog(nullptr, request);
    EXPECT_EQ(dialog.Page->minimum(), 1);
    EXPECT_EQ(dialog.Page->maximum(), 3);
    ASSERT_NE(dialog.Resolution, nullptr);
    EXPECT_EQ(dialog.Resolution->value(), 300);
    dialog.Page->setValue(2);
    EXPECT_EQ(dialog.Resolution->value(), 150);
    EXPECT_EQ(dialog.Choice().page, 2);
    EXPECT_EQ(dialog.Choice().dpi, 150.0);

    request.askResolution = false;
    platform::PageDialog tiff(nullptr, request);
    EXPECT_EQ(tiff.Resolution, nullptr);
    EXPECT_EQ(tiff.Choice().dpi, 0.0);
}
