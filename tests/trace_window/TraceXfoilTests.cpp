// XFOIL's lift from "Für XFOIL speichern" after one click and the trace, against the lift of the
// same file made from the drawn section's exact outline.
#include "FakeServices.h"
#include "OutlineDrawing.h"
#include "OutlineTrace.h"
#include "Unit2.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

/// XFOIL in batch mode, traps off: the file, panelling, the inviscid lift at 4 degrees.
std::optional<double> XfoilLift(const QString& xfoil, const QString& dir, const QString& file)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(ZOVORI_XFOIL_NOFPE));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    QFile::remove(dir + QStringLiteral("/lift.pol"));
    process.start(xfoil, {});
    process.write(QStringLiteral("PLOP\nG F\n\nLOAD %1\nPANE\nOPER\nPACC\nlift.pol\n\nALFA 4\nPACC\n\nQUIT\n").arg(file).toLatin1());
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        return std::nullopt;
    QFile polar(dir + QStringLiteral("/lift.pol"));
    if (!polar.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool table = false;
    for (const QString& line : QString::fromLatin1(polar.readAll()).split(QLatin1Char('\n'))) {
        const QStringList columns = line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (table && columns.size() >= 2)
            return columns[1].toDouble();
        table = table || line.trimmed().startsWith(QLatin1String("------"));
    }
    return std::nullopt;
}

/// The contour through the review window's "Für XFOIL speichern" into `name` in `dir`.
void SaveForXfoil(const std::vector<TContourPoint>& contour, const QTemporaryDir& dir, const QString& name)
{
    FakeServices services;
    bool saved = false;
    TForm2 form;
    form.Link.Contour = &contour;
    form.Link.ProfileSaved = &saved;
    form.Link.ViewImageHeight = [] { return 4000; };
    form.Button1->click();
    services.saveAnswer = dir.filePath(name);
    form.Button3->click();
    ASSERT_TRUE(QFile::exists(dir.filePath(name))) << services.errors.join('|').toStdString();
}

TEST(TraceXfoil, EachDrawingsTracedFileGivesTheSectionsLiftWithinHalfAPercent)
{
    const QString xfoil = QStandardPaths::findExecutable(QStringLiteral("xfoil"));
    if (xfoil.isEmpty())
        GTEST_SKIP() << "xfoil is not installed (Debian package xfoil); the consumer test needs it";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct TCase {
        const char* name;
        const char* naca;
        double chord, width, angle;
        bool blunt, extras;
    };
    const TCase cases[] = {{"2412", "2412", 1000, 2, 0, false, false},   {"0012 small", "0012", 400, 1, 0, false, false},
                           {"4415 turned", "4415", 800, 3, 20, false, false}, {"23012", "23012", 1200, 2, -30, false, false},
                           {"2412 blunt", "2412", 2000, 2, 0, true, false}, {"2412 drawn over", "2412", 1000, 2, 0, false, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        drawing::TSection s;
        s.naca = c.naca;
        s.chord = c.chord;
        s.width = c.width;
        s.angle = c.angle;
        s.blunt = c.blunt;
        s.chordLine = s.camberLine = s.grid = s.lettering = s.gaps = c.extras;
        const drawing::TDrawing d = drawing::Draw(s);
        const scan::TScan picture = scan::InForm(d.sheet, scan::TForm::Bgr24);
        std::vector<TContourPoint> traced{{d.upperEdge.x, d.upperEdge.y, 0}};
        const TTraceResult r = TraceOutline(picture.View(), traced, 0.0);
        ASSERT_EQ(r.End, TTraceEnd::TrailingEdge) << TraceStopSentence(r);
        traced.insert(traced.end(), r.Added.begin(), r.Added.end());

        // The exact outline, evenly along its arc and with the point farthest from the edge,
        // which sets the chord, clicked in the same order.
        std::vector<TContourPoint> exact;
        std::size_t nose = 0;
        const auto far = [&](std::size_t i) { return std::hypot(d.outline[i].x - d.upperEdge.x, d.outline[i].y - d.upperEdge.y); };
        for (std::size_t i = 0; i < d.outline.size(); ++i)
            if (far(i) > far(nose))
                nose = i;
        const std::size_t step = d.outline.size() / 300;
        for (std::size_t i = 0; i < d.outline.size(); ++i)
            if (i % step == 0 || i == nose || i + 1 == d.outline.size())
                exact.push_back({d.outline[i].x, d.outline[i].y, 0});
        if (!c.blunt)
            exact.pop_back(); // the apex once, as the trace holds it

        SaveForXfoil(traced, dir, QStringLiteral("traced.dat"));
        SaveForXfoil(exact, dir, QStringLiteral("exact.dat"));
        const std::optional<double> ours = XfoilLift(xfoil, dir.path(), QStringLiteral("traced.dat"));
        const std::optional<double> own = XfoilLift(xfoil, dir.path(), QStringLiteral("exact.dat"));
        ASSERT_TRUE(ours && own);
        std::printf("%-16s CL %.4f traced, %.4f exact, %+.2f %%\n", c.name, *ours, *own, 100 * (*ours / *own - 1));
        EXPECT_NEAR(*ours, *own, 0.005 * std::abs(*own));
    }
}

} // namespace
