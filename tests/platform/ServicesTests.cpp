// The default exception route and the dialog filter conversion.
#include "ErrorHandler.h"
#include "Services.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class DefaultHandler : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::SetExceptionSink([this](const std::string& m) { shown.push_back(m); });
    }
    void TearDown() override { platform::SetExceptionSink({}); }
    std::vector<std::string> shown;
};

TEST_F(DefaultHandler, ShowsTheMessageOfAnEscapedExceptionAndCarriesOn)
{
    bool after = false;
    platform::Guarded([] { throw std::runtime_error("Bitmap ist ungültig"); });
    platform::Guarded([&] { after = true; });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Bitmap ist ungültig");
    EXPECT_TRUE(after);
}

TEST_F(DefaultHandler, ReportsExhaustedMemoryAndUnknownThrowsInItsOwnWords)
{
    platform::Guarded([] { throw std::bad_alloc(); });
    platform::Guarded([] { throw 42; });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "Zu wenig Arbeitsspeicher");
    EXPECT_EQ(shown[1], "Unbekannter Fehler");
}

TEST_F(DefaultHandler, QuietHandlersReportNothing)
{
    platform::Guarded([] {});
    EXPECT_TRUE(shown.empty());
}

TEST(FileDialogFilter, EveryEntryBecomesOneNameFilterWithItsPatterns)
{
    EXPECT_EQ(platform::NameFilters(QStringLiteral("*.bmp , *.jpg|*.bmp;*.jpg|Bitmaps *.bmp|*.bmp|JPG *.jpg|*.JPG")),
              (QStringList{"*.bmp , *.jpg (*.bmp *.jpg)", "Bitmaps *.bmp (*.bmp)", "JPG *.jpg (*.JPG)"}));
    EXPECT_EQ(platform::NameFilters(QStringLiteral("Profildatei *.dat|*.dat")),
              (QStringList{"Profildatei *.dat (*.dat)"}));
    EXPECT_TRUE(platform::NameFilters(QString()).isEmpty());
}

} // namespace
