// XFOIL's own NACA sections, thinned to a few dozen points as a user clicks them, saved with
// "Für XFOIL speichern" and computed by XFOIL: the lift and drag of XFOIL's own section.
#include "FakeServices.h"
#include "Unit2.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct TPolarPoint {
    std::optional<double> cl, cd;
    bool panelWarning = false;
};

/// One XFOIL session with graphics and floating-point traps off: the airfoil command, then
/// alpha 4 degrees, inviscid or at Re 10^6, through a polar file.
TPolarPoint RunAt4Degrees(const QString& xfoil, const QString& dir, const QString& airfoil, bool viscous)
{
    static int run = 0;
    const QString polar = QStringLiteral("p%1.pol").arg(++run);
    const QString script = QStringLiteral("PLOP\nG F\n\n%1\n\nOPER\n%2PACC\n%3\n\nALFA 4\nPACC\n\nQUIT\n")
                               .arg(airfoil, viscous ? QStringLiteral("VISC 1e6\nITER 200\n") : QString(), polar);
    QProcess process;
    process.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(ZOVORI_XFOIL_NOFPE));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(xfoil, {});
    EXPECT_TRUE(process.waitForStarted(10000));
    process.write(script.toLatin1());
    process.closeWriteChannel();
    EXPECT_TRUE(process.waitForFinished(120000)) << "XFOIL did not finish";
    TPolarPoint point;
    point.panelWarning = QString::fromLatin1(process.readAll()).contains(QStringLiteral("Excessive panel angle"));
    QFile file(dir + QStringLiteral("/") + polar);
    if (!file.open(QIODevice::ReadOnly))
        return point;
    bool table = false;
    for (const QString& line : QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'))) {
        const QStringList columns = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (table && columns.size() >= 3) {
            point.cl = columns[1].toDouble();
            point.cd = columns[2].toDouble();
            break;
        }
        table = table || line.trimmed().startsWith(QLatin1String("------"));
    }
    return point;
}

std::vector<TContourPoint> ReadPoints(const QString& path)
{
    std::vector<TContourPoint> points;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return points;
    const QStringList lines = QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList columns = lines[i].split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (columns.size() == 2)
            points.push_back({columns[0].toDouble(), columns[1].toDouble(), 0.0});
    }
    return points;
}

class XfoilPaneling : public ::testing::TestWithParam<const char*> {};

TEST_P(XfoilPaneling, ThinnedSectionsGiveXfoilsOwnLiftAndDrag)
{
    const QString xfoil = QStandardPaths::findExecutable(QStringLiteral("xfoil"));
    if (xfoil.isEmpty())
        GTEST_SKIP() << "xfoil is not installed (Debian package xfoil)";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString naca = QStringLiteral("NACA %1").arg(QLatin1String(GetParam()));
    RunAt4Degrees(xfoil, dir.path(), naca + QStringLiteral("\nSAVE own.dat\n"), false);
    const std::vector<TContourPoint> own = ReadPoints(dir.filePath(QStringLiteral("own.dat")));
    ASSERT_EQ(own.size(), 160u);
    const TPolarPoint inviscid = RunAt4Degrees(xfoil, dir.path(), naca, false);
    const TPolarPoint viscous = RunAt4Degrees(xfoil, dir.path(), naca, true);
    ASSERT_TRUE(inviscid.cl && viscous.cd);

    FakeServices services;
    for (const int count : {25, 37, 61, 100}) {
        for (const bool lowerFirst : {false, true}) {
            SCOPED_TRACE(testing::Message() << count << " points, " << (lowerFirst ? "lower" : "upper") << " edge first");
            // Every n-th of XFOIL's points, both ends kept, at a chord of 1000 px.
            std::vector<TContourPoint> contour;
            for (int i = 0; i < count; ++i) {
                const TContourPoint& p = own[static_cast<std::size_t>(std::lround(i * 159.0 / (count - 1)))];
                contour.push_back({150 + 1000 * p.x, 450 - 1000 * p.y, 0.0});
            }
            if (lowerFirst)
                std::reverse(contour.begin(), contour.end());
            TForm2 form;
            form.Link.Contour = &contour;
            form.Link.ViewImageHeight = [] { return 900; };
            form.Button1->click();
            const QString name = QStringLiteral("z%1%2.dat").arg(count).arg(lowerFirst ? 'l' : 'u');
            services.saveAnswer = dir.filePath(name);
            form.Button3->click();
            ASSERT_TRUE(services.errors.isEmpty()) << services.errors.join('|').toStdString();
            ASSERT_TRUE(form.Memo2->toPlainText().contains(QStringLiteral("Für XFOIL: 160 Punkte")))
                << form.Memo2->toPlainText().toStdString();

            const TPolarPoint ours = RunAt4Degrees(xfoil, dir.path(), QStringLiteral("LOAD ") + name, false);
            const TPolarPoint oursViscous = RunAt4Degrees(xfoil, dir.path(), QStringLiteral("LOAD ") + name, true);
            ASSERT_TRUE(ours.cl.has_value());
            const double clError = *ours.cl / *inviscid.cl - 1;
            // NaN when the viscous solution did not converge: printed as such, and a failure below.
            const double cdError = oursViscous.cd ? *oursViscous.cd / *viscous.cd - 1 : NAN;
            const std::string key = std::string(GetParam()) + "_" + std::to_string(count) + (lowerFirst ? "_lower" : "_upper");
            RecordProperty(key + "_cl_error_percent", QString::number(100 * clError, 'f', 3).toStdString());
            RecordProperty(key + "_cd_error_percent", QString::number(100 * cdError, 'f', 3).toStdString());
            std::printf("NACA %s, %3d points, %s edge first: CL %.4f (XFOIL %.4f, %+.2f %%), CD %+.2f %%\n", GetParam(), count,
                        lowerFirst ? "lower" : "upper", *ours.cl, *inviscid.cl, 100 * clError, 100 * cdError);
            EXPECT_TRUE(oursViscous.cd.has_value()) << "XFOIL's viscous solution did not converge";
            EXPECT_LT(std::fabs(cdError), 0.03);
            // The targets are 1 % at 25 points and 0.3 % from 37; the limits hold what is reached
            // with a margin, so that a loss shows.
            const double allowed = count >= 37 ? 0.001 : 0.002;
            EXPECT_LT(std::fabs(clError), allowed);
            EXPECT_FALSE(ours.panelWarning || oursViscous.panelWarning);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Naca, XfoilPaneling, ::testing::Values("2412", "4415", "0012", "6409"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string("Naca") + info.param; });

} // namespace
