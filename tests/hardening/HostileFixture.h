#pragma once

#include "FakeServices.h"
#include "SampleImages.h"
#include "Unit1.h"

#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

/// A shown main window whose "Bild laden" reads files that a test writes into a scratch directory.
class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetUnit1State();
        form = std::make_unique<TForm1>();
        form->FormCreate();
        form->Timer1->stop();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_TRUE(dir.isValid());
    }

    void TearDown() override
    {
        form.reset();
        ResetUnit1State();
    }

    QString Write(const QString& name, const samples::Bytes& bytes) const
    {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(samples::WriteFile(path.toStdString(), bytes));
        return path;
    }

    /// Runs "Bild laden" on the file with a contour, a turned view and an old picture in place, so
    /// that the state afterwards shows how far the command got.
    void Load(const QString& path)
    {
        services.errors.clear();
        QImage old(6, 6, QImage::Format_RGB32);
        old.fill(Qt::magenta);
        *SourceImage = old;
        ContourPoints = {{1, 1, 0}};
        View.RotationAngle = 45;
        services.openAnswer = path;
        form->Bildladen1->trigger();
    }

    /// After a refused load: one message, the contour cleared, the picture empty, the view not reset.
    void ExpectRefused(const QString& message, const std::string& row)
    {
        ASSERT_EQ(services.errors.size(), 1) << row;
        EXPECT_EQ(services.errors[0], message) << row;
        EXPECT_TRUE(ContourPoints.empty()) << row;
        EXPECT_TRUE(SourceImage->isNull()) << row;
        EXPECT_EQ(View.RotationAngle, 45.0) << row;
    }

    /// After a load that kept a picture: no message, the contour cleared, the view reset.
    void ExpectLoaded(QSize size, const std::string& row)
    {
        EXPECT_TRUE(services.errors.isEmpty()) << row << ": " << services.errors.join('\n').toStdString();
        EXPECT_TRUE(ContourPoints.empty()) << row;
        EXPECT_EQ(SourceImage->size(), size) << row;
        EXPECT_EQ(View.RotationAngle, 0.0) << row;
    }

    FakeServices services;
    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
};

inline samples::Bytes Prefix(const samples::Bytes& bytes, int percent)
{
    return samples::Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() * percent / 100));
}

inline unsigned Rgb(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFu;
}
