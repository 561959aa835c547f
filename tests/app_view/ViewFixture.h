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

/// A shown main window with scripted services and a scratch directory for picture files.
class MainView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetUnit1State();
        form = std::make_unique<TForm1>();
        form->FormCreate();
        form->Timer1->stop(); // tests tick and paint by hand
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_TRUE(dir.isValid());
    }

    void TearDown() override
    {
        form.reset();
        ResetUnit1State();
    }

    QString Path(const QString& name) const { return dir.filePath(name); }

    QString Write(const QString& name, const samples::Bytes& bytes) const
    {
        const QString path = Path(name);
        EXPECT_TRUE(samples::WriteFile(path.toStdString(), bytes));
        return path;
    }

    /// Chooses `path` in the open dialog and runs "Bild laden".
    void Load(const QString& path)
    {
        services.openAnswer = path;
        form->Bildladen1->trigger();
    }

    FakeServices services;
    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
};

/// The colour of an image pixel as 0x00RRGGBB.
inline unsigned Rgb(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFFu;
}
