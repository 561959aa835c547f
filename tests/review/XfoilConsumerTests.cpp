// A real consumer reads our .dat files: XFOIL loads a digitised NACA 2412 and computes its lift.
#include "FakeServices.h"
#include "Unit2.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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

/// The lift of the polar's single operating point: the first row under the dashed line.
std::optional<double> PolarLift(const QString& polarPath)
{
    QFile file(polarPath);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QStringList lines = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'));
    bool table = false;
    for (const QString& line : lines) {
        if (line.trimmed().startsWith(QLatin1String("------"))) {
            table = true;
            continue;
        }
        const QStringList columns = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (table && columns.size() >= 2)
            return columns[1].toDouble();
    }
    return std::nullopt;
}

/// One XFOIL session in batch mode with the floating-point traps off.
QString RunXfoilScript(const QString& xfoil, const QString& workDir, const QString& script)
{
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
    return QString::fromLatin1(process.readAll());
}

/// Graphics off, the given airfoil command, panelling, and the inviscid polar point at `alpha`
/// degrees accumulated into `polarName`.
TXfoilRun RunXfoil(const QString& xfoil, const QString& workDir, const QString& airfoilCommand,
                   const QString& polarName, double alpha = 4.0)
{
    const QString script = QStringLiteral("PLOP\nG F\n\n%1\nPANE\nOPER\nPACC\n%2\n\nALFA %3\nPACC\n\nQUIT\n")
                               .arg(airfoilCommand, polarName, QString::number(alpha, 'f', 6));
    const QString output = RunXfoilScript(xfoil, workDir, script);
    return {output, PolarLift(workDir + QStringLiteral("/") + polarName)};
}

/// The coordinate lines of a profile file (its title line skipped).
std::vector<TOutlinePoint> ReadProfile(const QString& path)
{
    std::vector<TOutlinePoint> points;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return points;
    const QStringList lines = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList columns = lines[i].split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (columns.size() == 2)
            points.push_back({columns[0].toDouble(), columns[1].toDouble()});
    }
    return points;
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

TEST(XfoilConsumer, ComputesItsOwnOpenEdgedNaca2412FromTheXfoilSave)
{
    const QString xfoil = QStandardPaths::findExecutable(QStringLiteral("xfoil"));
    if (xfoil.isEmpty())
        GTEST_SKIP() << "xfoil is not installed (Debian package xfoil); the consumer test needs it";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    // XFOIL's own section as it saves it: 160 points, the edge open by 0.25 % of the chord.
    RunXfoilScript(xfoil, dir.path(), QStringLiteral("PLOP\nG F\n\nNACA 2412\nSAVE own.dat\n\nQUIT\n"));
    const std::vector<TOutlinePoint> own = ReadProfile(dir.filePath(QStringLiteral("own.dat")));
    ASSERT_EQ(own.size(), 160u);
    ASSERT_NE(own.front().y, own.back().y) << "an open trailing edge";

    // Clicked in its order, upper trailing edge first, at a chord of 1000 pixels.
    std::vector<TContourPoint> contour;
    for (const TOutlinePoint& p : own)
        contour.push_back({150 + 1000 * p.x, 450 - 1000 * p.y, 0});
    FakeServices services;
    bool saved = false;
    TForm2 form;
    form.Link.Contour = &contour;
    form.Link.ProfileSaved = &saved;
    form.Link.ViewImageHeight = [] { return 900; };
    form.Edit2->setText(QStringLiteral("NACA 2412 aus XFOIL"));
    form.Button1->click();
    const QString check = form.Memo2->toPlainText();
    EXPECT_TRUE(check.contains(QStringLiteral("Hinterkante: offen"))) << check.toStdString();
    services.saveAnswer = dir.filePath(QStringLiteral("xfoil.dat"));
    form.Button3->click();
    services.saveAnswer = dir.filePath(QStringLiteral("dat.dat"));
    form.Button2->click();
    ASSERT_TRUE(saved) << services.errors.join('|').toStdString();

    const std::vector<TOutlinePoint> written = ReadProfile(dir.filePath(QStringLiteral("xfoil.dat")));
    ASSERT_EQ(written.size(), 160u) << "every point once, no closing point";
    // The normalisation turns the chord through the upper edge point and the leftmost point, so
    // the section sits turned against XFOIL's own chord; the edge's base, vertical in XFOIL's
    // frame, tells by how much. XFOIL's own section at 4 degrees meets ours at 4 + turn.
    const double turn = std::atan2(written.back().x - written.front().x, written.front().y - written.back().y) * 180 / M_PI;
    EXPECT_LT(std::fabs(turn), 0.2);

    const TXfoilRun builtIn = RunXfoil(xfoil, dir.path(), QStringLiteral("NACA 2412"), QStringLiteral("builtin.pol"));
    const TXfoilRun ours = RunXfoil(xfoil, dir.path(), QStringLiteral("LOAD xfoil.dat"), QStringLiteral("ours.pol"), 4.0 + turn);
    const TXfoilRun oursAt4 = RunXfoil(xfoil, dir.path(), QStringLiteral("LOAD xfoil.dat"), QStringLiteral("ours4.pol"));
    const TXfoilRun dat = RunXfoil(xfoil, dir.path(), QStringLiteral("LOAD dat.dat"), QStringLiteral("dat.pol"));
    ASSERT_TRUE(builtIn.cl && ours.cl && oursAt4.cl && dat.cl) << ours.output.toStdString() << dat.output.toStdString();
    std::printf("XFOIL's NACA 2412 at 4 deg: CL %.4f\n"
                "\"Fuer XFOIL speichern\": CL %.4f at %.4f deg of its chord (4 deg of XFOIL's chord), %.4f at 4 deg\n"
                "\"Speichern unter\" (.dat, closing point 1 0): CL %.4f at 4 deg, %+.1f %%%s\n",
                *builtIn.cl, *ours.cl, 4.0 + turn, *oursAt4.cl, *dat.cl, 100 * (*dat.cl / *builtIn.cl - 1),
                dat.output.contains(QStringLiteral("Excessive panel angle")) ? ", XFOIL warns of an excessive panel angle" : "");
    RecordProperty("cl_xfoil", QString::number(*builtIn.cl).toStdString());
    RecordProperty("cl_xfoil_save", QString::number(*ours.cl).toStdString());
    RecordProperty("cl_dat_save", QString::number(*dat.cl).toStdString());
    EXPECT_NEAR(*ours.cl, *builtIn.cl, 0.01 * *builtIn.cl);
    EXPECT_FALSE(ours.output.contains(QStringLiteral("Excessive panel angle"))) << ours.output.toStdString();
    EXPECT_LT(*dat.cl, 0.8 * *builtIn.cl) << "the closing point after the open edge spoils the .dat for XFOIL";
}

TEST(XfoilConsumer, WarnsOfSharpTurnsExactlyWhereXfoilDoes)
{
    const QString xfoil = QStandardPaths::findExecutable(QStringLiteral("xfoil"));
    if (xfoil.isEmpty())
        GTEST_SKIP() << "xfoil is not installed (Debian package xfoil); the consumer test needs it";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FakeServices services;
    // One click on the upper side, 39 px from its neighbours, lifted: a kink of about 26 and 54 degrees.
    int warned = 0;
    for (const double lift : {9.0, 20.0}) {
        SCOPED_TRACE(lift);
        std::vector<TContourPoint> contour = ClickedNaca2412();
        contour[20].y -= lift;
        TForm2 form;
        form.Link.Contour = &contour;
        form.Link.ViewImageHeight = [] { return 900; };
        form.Button1->click();
        // The points as clicked: "Für XFOIL speichern" would lay a curve through them.
        services.saveAnswer = dir.filePath(QStringLiteral("kink.dat"));
        form.Button2->click();
        const QString output = RunXfoilScript(xfoil, dir.path(), QStringLiteral("PLOP\nG F\n\nLOAD kink.dat\n\nQUIT\n"));
        const QRegularExpressionMatch warning =
            QRegularExpression(QStringLiteral("Excessive panel angle\\s*[-\\d.]+\\s*at i =\\s*(\\d+)")).match(output);
        const QString check = form.Memo2->toPlainText();
        ASSERT_EQ(warning.hasMatch(), check.contains(QStringLiteral("über 40°"))) << check.toStdString() << output.toStdString();
        warned += warning.hasMatch() ? 1 : 0;
        if (warning.hasMatch()) {
            // XFOIL counts points from 1; the file's first point is its line 2.
            EXPECT_TRUE(check.contains(QStringLiteral("(Zeile %1)").arg(warning.captured(1).toInt() + 1))) << check.toStdString();
        }
    }
}

} // namespace
