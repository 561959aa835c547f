// A real consumer reads our .dat files: XFOIL loads a digitised NACA 2412 and computes its lift.
#include "FakeServices.h"
#include "Unit2.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <vector>

namespace {

struct TOutlinePoint {
    double x, y;
};

/// NACA 2412 with the closed-edge thickness coefficient, at the chord position x (0 .. 1).
TOutlinePoint Naca2412(double x, bool upper)
{
    const double m = 0.02, p = 0.4, t = 0.12;
    const double yt = 5 * t * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                               0.1036 * x * x * x * x);
    double yc, slope;
    if (x < p) {
        yc = m / (p * p) * (2 * p * x - x * x);
        slope = 2 * m / (p * p) * (p - x);
    } else {
        yc = m / ((1 - p) * (1 - p)) * (1 - 2 * p + 2 * p * x - x * x);
        slope = 2 * m / ((1 - p) * (1 - p)) * (p - x);
    }
    const double theta = std::atan(slope);
    const double sign = upper ? 1.0 : -1.0;
    return {x - sign * yt * std::sin(theta), yc + sign * yt * std::cos(theta)};
}

/// The outline as a user clicks it on a picture 900 pixels high, chord 1000 pixels, y downward:
/// from the trailing edge over the upper side round the nose, back to the last lower point.
std::vector<TContourPoint> ClickedNaca2412()
{
    constexpr int Half = 40;
    std::vector<TContourPoint> contour;
    auto add = [&](int i, bool upper) {
        const double x = 0.5 * (1 - std::cos(M_PI * i / Half));
        const TOutlinePoint q = Naca2412(x, upper);
        contour.push_back({150 + 1000 * q.x, 450 - 1000 * q.y, 0});
    };
    for (int i = Half; i >= 0; --i)
        add(i, true);
    for (int i = 1; i < Half; ++i)
        add(i, false);
    return contour;
}

struct TXfoilRun {
    QString output;
    std::optional<double> cl;
};

std::optional<double> LiftAtFourDegrees(const QString& polarPath)
{
    QFile file(polarPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QStringList lines = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QStringList columns = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (columns.size() >= 2 && columns[0] == QLatin1String("4.000"))
            return columns[1].toDouble();
    }
    return std::nullopt;
}

/// One XFOIL session in batch mode: graphics off, the given airfoil command, panelling, and the
/// inviscid polar point at 4 degrees accumulated into `polarName`.
TXfoilRun RunXfoil(const QString& xfoil, const QString& workDir, const QString& airfoilCommand,
                   const QString& polarName)
{
    const QString script = QStringLiteral("PLOP\nG F\n\n%1\nPANE\nOPER\nPACC\n%2\n\nALFA 4\nPACC\n\nQUIT\n")
                               .arg(airfoilCommand, polarName);
    QProcess process;
    process.setWorkingDirectory(workDir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(ZOVORI_XFOIL_NOFPE));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(xfoil, {});
    EXPECT_TRUE(process.waitForStarted(10000));
    process.write(script.toLatin1());
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(60000)) << "XFOIL did not finish";
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    return {QString::fromLatin1(process.readAll()), LiftAtFourDegrees(workDir + QStringLiteral("/") + polarName)};
}

TEST(XfoilConsumer, ReadsEveryPointAndMatchesItsOwnNaca2412Lift)
{
    const QString xfoil = QStandardPaths::findExecutable(QStringLiteral("xfoil"));
    if (xfoil.isEmpty())
        GTEST_SKIP() << "xfoil is not installed (Debian package xfoil); the consumer test needs it";

    FakeServices services;
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::vector<TContourPoint> contour = ClickedNaca2412();
    ASSERT_EQ(contour.size(), 80u);
    bool saved = false;
    TForm2 form;
    form.Link.Contour = &contour;
    form.Link.ProfileSaved = &saved;
    form.Link.ViewImageHeight = [] { return 900; };
    form.Edit2->setText(QStringLiteral("NACA 2412 digitalisiert"));
    form.Button1->click();
    services.saveAnswer = dir.filePath(QStringLiteral("naca2412.dat"));
    form.Button2->click();
    ASSERT_TRUE(saved) << services.errors.join('|').toStdString();
    ASSERT_EQ(ProfileCoords.size(), 81u);

    const TXfoilRun ours = RunXfoil(xfoil, dir.path(), QStringLiteral("LOAD naca2412.dat"), QStringLiteral("ours.pol"));
    const TXfoilRun builtIn = RunXfoil(xfoil, dir.path(), QStringLiteral("NACA 2412"), QStringLiteral("builtin.pol"));

    const QRegularExpressionMatch count =
        QRegularExpression(QStringLiteral("Number of input coordinate points:\\s*(\\d+)")).match(ours.output);
    ASSERT_TRUE(count.hasMatch()) << ours.output.toStdString();
    EXPECT_EQ(count.captured(1).toInt(), 81);
    ASSERT_TRUE(ours.cl.has_value()) << ours.output.toStdString();
    ASSERT_TRUE(builtIn.cl.has_value()) << builtIn.output.toStdString();
    RecordProperty("cl_ours", QString::number(*ours.cl).toStdString());
    RecordProperty("cl_xfoil", QString::number(*builtIn.cl).toStdString());
    EXPECT_GT(*builtIn.cl, 0.5);
    EXPECT_NEAR(*ours.cl, *builtIn.cl, 0.01 * *builtIn.cl) << "ours " << *ours.cl << ", XFOIL's " << *builtIn.cl;
}

} // namespace
